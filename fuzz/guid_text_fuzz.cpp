// Any bytes as identifier text, read twice: each byte as one character (registry files and
// command lines) and byte pairs as UTF-16 little-endian units (text in memory). Parsing never
// reads out of bounds; what parses formats back to the upper-cased input and parses again to
// the same value; the byte form round-trips.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "device/guid.h"

namespace {

char16_t UpperAscii(char16_t c) { return c >= u'a' && c <= u'z' ? c - u'a' + u'A' : c; }

void Check(const std::u16string& text) {
  std::optional<brevalo::GUID> guid = brevalo::ParseGuid(text);
  if (!guid) return;
  std::u16string formatted = brevalo::FormatGuid(*guid);
  std::u16string upper;
  for (char16_t c : text) upper += UpperAscii(c);
  if (formatted != upper) std::abort();
  if (brevalo::ParseGuid(formatted) != guid) std::abort();
  uint8_t bytes[brevalo::kGuidByteSize];
  brevalo::GuidToBytes(*guid, bytes);
  if (brevalo::GuidFromBytes(bytes) != *guid) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::u16string narrow(data, data + size);
  Check(narrow);
  std::u16string wide;
  for (size_t i = 0; i + 1 < size; i += 2) {
    wide += static_cast<char16_t>(data[i] | (data[i + 1] << 8));
  }
  Check(wide);
  return 0;
}
