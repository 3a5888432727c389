#include "device/guid.h"

namespace brevalo {
namespace {

constexpr char16_t kHexDigits[] = u"0123456789ABCDEF";

// Positions of the hyphens in the text form; every other character between the braces is a
// hex digit.
constexpr bool IsHyphenPosition(size_t index) {
  return index == 9 || index == 14 || index == 19 || index == 24;
}

int HexValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

void AppendHex(std::u16string& out, uint64_t value, int digits) {
  for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) {
    out += kHexDigits[(value >> shift) & 0xF];
  }
}

}  // namespace

std::u16string FormatGuid(const GUID& guid) {
  std::u16string out;
  out.reserve(kGuidTextLength);
  out += u'{';
  AppendHex(out, guid.Data1, 8);
  out += u'-';
  AppendHex(out, guid.Data2, 4);
  out += u'-';
  AppendHex(out, guid.Data3, 4);
  out += u'-';
  AppendHex(out, guid.Data4[0], 2);
  AppendHex(out, guid.Data4[1], 2);
  out += u'-';
  for (int i = 2; i < 8; ++i) AppendHex(out, guid.Data4[i], 2);
  out += u'}';
  return out;
}

std::optional<GUID> ParseGuid(std::u16string_view text) {
  if (text.size() != kGuidTextLength || text.front() != u'{' || text.back() != u'}') {
    return std::nullopt;
  }
  // The 32 digits in order, as 16 bytes read most significant first.
  uint8_t digits[16] = {};
  size_t digitCount = 0;
  for (size_t i = 1; i + 1 < text.size(); ++i) {
    if (IsHyphenPosition(i)) {
      if (text[i] != u'-') return std::nullopt;
      continue;
    }
    int value = HexValue(text[i]);
    if (value < 0) return std::nullopt;
    digits[digitCount / 2] = static_cast<uint8_t>((digits[digitCount / 2] << 4) | value);
    ++digitCount;
  }
  GUID guid{};
  guid.Data1 = (uint32_t{digits[0]} << 24) | (uint32_t{digits[1]} << 16) |
               (uint32_t{digits[2]} << 8) | digits[3];
  guid.Data2 = static_cast<uint16_t>((digits[4] << 8) | digits[5]);
  guid.Data3 = static_cast<uint16_t>((digits[6] << 8) | digits[7]);
  for (int i = 0; i < 8; ++i) guid.Data4[i] = digits[8 + i];
  return guid;
}

void GuidToBytes(const GUID& guid, uint8_t* out) {
  for (int i = 0; i < 4; ++i) out[i] = static_cast<uint8_t>(guid.Data1 >> (8 * i));
  for (int i = 0; i < 2; ++i) out[4 + i] = static_cast<uint8_t>(guid.Data2 >> (8 * i));
  for (int i = 0; i < 2; ++i) out[6 + i] = static_cast<uint8_t>(guid.Data3 >> (8 * i));
  for (int i = 0; i < 8; ++i) out[8 + i] = guid.Data4[i];
}

GUID GuidFromBytes(const uint8_t* bytes) {
  GUID guid{};
  for (int i = 3; i >= 0; --i) guid.Data1 = (guid.Data1 << 8) | bytes[i];
  guid.Data2 = static_cast<uint16_t>(bytes[4] | (bytes[5] << 8));
  guid.Data3 = static_cast<uint16_t>(bytes[6] | (bytes[7] << 8));
  for (int i = 0; i < 8; ++i) guid.Data4[i] = bytes[8 + i];
  return guid;
}

}  // namespace brevalo
