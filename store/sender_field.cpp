#include "store/sender_field.h"

#include "store/store_format.h"

namespace brevalo {
namespace {

constexpr size_t kFieldTextBytes = kRecordNumberSize - 1;

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }

bool Fits(const CodePage& page, std::u16string_view text) {
  return page.FromUtf16(text).size() <= kFieldTextBytes;
}

// What the field keeps of `text` when it is cut at its end, as the field always cut it.
std::u16string CutAtEnd(const CodePage& page, std::u16string_view text) {
  char field[kRecordNumberSize];
  page.ToFixedField(text, field, sizeof field);
  return page.FromFixedField(field, sizeof field);
}

std::u16string Quoted(std::u16string_view name, std::u16string_view number) {
  std::u16string line = u"\"";
  line += name;
  line += u"\"";
  line += number;
  return line;
}

}  // namespace

bool CodePageHolds(const CodePage& page, std::u16string_view text) {
  return page.ToUtf16(page.FromUtf16(text)) == text;
}

SenderField FitSenderToNumberField(const CodePage& page, std::u16string_view sender) {
  if (Fits(page, sender)) return {std::u16string(sender), CodePageHolds(page, sender)};
  // "name"<number>: the name may shrink, the number in angle brackets may not.
  const size_t close = sender.size() > 1 && sender.front() == u'"' ? sender.find(u'"', 1)
                                                                   : std::u16string_view::npos;
  if (close == std::u16string_view::npos) return {CutAtEnd(page, sender), false};
  std::u16string_view number = sender.substr(close + 1);
  if (number.size() < 2 || number.front() != u'<' || number.back() != u'>' ||
      !Fits(page, Quoted(u"", number))) {
    return {CutAtEnd(page, sender), false};
  }
  std::u16string name(sender.substr(1, close - 1));
  while (!name.empty() && !Fits(page, Quoted(name, number))) {
    name.pop_back();
    // Never half a character: a pair loses both halves.
    if (!name.empty() && IsHighSurrogate(name.back())) name.pop_back();
  }
  std::u16string line = Quoted(name, number);
  return {line, CodePageHolds(page, line)};
}

}  // namespace brevalo
