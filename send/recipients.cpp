#include "send/recipients.h"

namespace brevalo {

RecipientName RecipientDisplayName(std::u16string_view recipients) {
  RecipientName out;
  // 0: no quote seen yet, 1: inside the quotes, 2: after the closing quote.
  int quotes = 0;
  for (char16_t c : recipients) {
    if (c == u';' || c == u'>') break;
    switch (c) {
      case u' ':
      case u'(':
      case u')':
      case u'-':
        break;
      case u'"':
        if (quotes == 0) {
          out.name.clear();
          out.quoted = true;
        }
        if (quotes < 2) ++quotes;
        break;
      case u'<':
        out.number.clear();
        break;
      default:
        if (quotes < 2) out.name += c;
        if (quotes != 1) out.number += c;
        break;
    }
  }
  return out;
}

std::u16string RecipientEntry(std::u16string_view name, std::u16string_view number) {
  std::u16string entry = u";\"";
  entry += name;
  entry += u"\"<";
  entry += number;
  entry += u'>';
  return entry;
}

}  // namespace brevalo
