#include "filter/normalize_number.h"

namespace brevalo {

size_t NormalizeNumber(std::u16string_view entry, char16_t* out, size_t outSize) {
  const size_t room = outSize - 1;
  size_t length = 0;
  // Reading position never falls behind the writing position, so an entry that views `out`
  // is read before it is overwritten.
  for (const char16_t c : entry) {
    switch (c) {
      case u' ':
      case u'(':
      case u')':
      case u'-':
      case u'>':
        break;
      case u'<':
        length = 0;
        break;
      default:
        if (length < room) out[length++] = c;
        break;
    }
  }
  out[length] = u'\0';
  return length;
}

}  // namespace brevalo
