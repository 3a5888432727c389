#include "settings/import_entry.h"

#include <ctime>

#include "device/date_picture.h"

namespace brevalo {
namespace {

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// The units of the character that starts at `at`: two for a whole surrogate pair, else one.
size_t CharacterLength(std::u16string_view text, size_t at) {
  return at + 1 < text.size() && IsHighSurrogate(text[at]) && IsLowSurrogate(text[at + 1]) ? 2 : 1;
}

// The first `count` characters of `text`, never ending inside a surrogate pair.
std::u16string_view FirstCharacters(std::u16string_view text, size_t count) {
  size_t at = 0;
  for (size_t i = 0; i < count && at < text.size(); ++i) at += CharacterLength(text, at);
  return text.substr(0, at);
}

bool SameDay(const std::tm& moment, const SYSTEMTIME& today) {
  return moment.tm_year + 1900 == today.wYear && moment.tm_mon + 1 == today.wMonth &&
         moment.tm_mday == today.wDay;
}

}  // namespace

std::u16string ImportTimeText(DATE local, const ImportClock& clock) {
  std::tm moment{};
  if (!OleDateToTm(local, &moment)) return {};
  const std::u16string& picture = SameDay(moment, clock.today) ? clock.pictures.time : clock.pictures.shortDate;
  return std::u16string(FirstCharacters(FormatDatePicture(moment, picture), kImportTimeCapacity));
}

std::u16string ImportTextLine(std::u16string_view text) {
  std::u16string line;
  int width = 0;
  size_t characters = 0;
  for (size_t at = 0; at < text.size(); ++characters) {
    size_t length = CharacterLength(text, at);
    width += text[at] > 128 ? 2 : 1;
    if (width > kImportLineWidth) {
      if (characters >= 3) {
        // Two characters give way to the mark that says the text goes on.
        line.resize(FirstCharacters(line, characters - 2).size());
        line += u"..";
      }
      return line;
    }
    char16_t unit = text[at];
    if (length == 1 && (unit == u'\r' || unit == u'\n' || unit == u'\t')) line += u' ';
    else line.append(text.substr(at, length));
    at += length;
  }
  return line;
}

void SetImportLines(ImportEntry& entry, const ImportClock& clock) {
  entry.lineOne = entry.sender + u" ";
  if (entry.hasDate) entry.lineOne += ImportTimeText(entry.date, clock);
  entry.lineTwo = ImportTextLine(entry.text);
}

}  // namespace brevalo
