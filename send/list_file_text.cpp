#include "send/list_file_text.h"

#include "device/utf8_codec.h"

namespace brevalo {
namespace {

void AppendUnit(char16_t unit, std::string* out) {
  out->push_back(static_cast<char>(unit & 0xFF));
  out->push_back(static_cast<char>(unit >> 8));
}

// One line without its LF, as reads of at most kListLineChars characters give it.
void AppendReads(std::u16string_view line, std::vector<std::u16string>* lines) {
  if (!line.empty() && line.back() == u'\r') line.remove_suffix(1);
  do {
    std::u16string_view read = line.substr(0, kListLineChars);
    line.remove_prefix(read.size());
    lines->emplace_back(read.substr(0, read.find(u'\r')));
  } while (!line.empty());
}

}  // namespace

std::vector<std::u16string> ReadListLines(std::string_view bytes) {
  const std::u16string units = UnitsAfterByteOrderMark(bytes);
  std::vector<std::u16string> lines;
  std::u16string_view rest = units;
  while (!rest.empty()) {
    const size_t lineFeed = rest.find(u'\n');
    const size_t end = lineFeed == std::u16string_view::npos ? rest.size() : lineFeed;
    AppendReads(rest.substr(0, end), &lines);
    rest.remove_prefix(end == rest.size() ? end : end + 1);
  }
  return lines;
}

std::string WriteListLines(const std::vector<std::u16string>& lines) {
  std::string out = "\xFF\xFE";
  for (const std::u16string& line : lines) {
    for (char16_t unit : line) AppendUnit(unit, &out);
    AppendUnit(u'\r', &out);
    AppendUnit(u'\n', &out);
  }
  return out;
}

}  // namespace brevalo
