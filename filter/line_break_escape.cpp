#include "filter/line_break_escape.h"

#include "filter/rules_file_format.h"

namespace brevalo {

namespace rf = rules_file;

std::u16string EscapeLineBreaks(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
      out += rf::Escape;
      out += rf::EscapedLineBreak;
      ++i;
    } else if (c == u'\r') {
      out += rf::Escape;
      out += rf::EscapedCarriageReturn;
    } else if (c == u'\n') {
      out += rf::Escape;
      out += rf::EscapedLineFeed;
    } else if (c == rf::Escape) {
      out += rf::Escape;
      out += rf::EscapedBacktick;
    } else {
      out += c;
    }
  }
  return out;
}

std::u16string UnescapeLineBreaks(std::u16string_view escaped) {
  std::u16string out;
  out.reserve(escaped.size());
  for (size_t i = 0; i < escaped.size(); ++i) {
    if (escaped[i] != rf::Escape) {
      out += escaped[i];
      continue;
    }
    const char16_t code = i + 1 < escaped.size() ? escaped[i + 1] : u'\0';
    ++i;
    if (code == rf::EscapedBacktick) {
      out += rf::Escape;
    } else if (code == rf::EscapedCarriageReturn) {
      out += u'\r';
    } else if (code == rf::EscapedLineFeed) {
      out += u'\n';
    } else {
      // "``" and, in files of earlier releases, a backtick with any other unit after it.
      out += u"\r\n";
    }
  }
  return out;
}

size_t FindEscapedFieldSeparator(std::u16string_view escaped) {
  for (size_t i = 0; i + 1 < escaped.size(); ++i) {
    if (escaped[i] != rf::Escape) continue;
    if (escaped[i + 1] == rf::EscapedFieldSeparator) return i;
    ++i;
  }
  return std::u16string_view::npos;
}

}  // namespace brevalo
