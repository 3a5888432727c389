#include "settings/untyped_value.h"

namespace brevalo {

std::vector<uint8_t> UntypedBytes(const RegValue& value) {
  std::vector<uint8_t> bytes;
  switch (value.type) {
    case REG_SZ:
      bytes.reserve((value.text.size() + 1) * 2);
      for (char16_t c : value.text) {
        bytes.push_back(static_cast<uint8_t>(c & 0xFF));
        bytes.push_back(static_cast<uint8_t>(c >> 8));
      }
      bytes.push_back(0);
      bytes.push_back(0);
      break;
    case REG_DWORD:
      for (int shift = 0; shift < 32; shift += 8) {
        bytes.push_back(static_cast<uint8_t>((value.dword >> shift) & 0xFF));
      }
      break;
    case REG_BINARY:
      bytes = value.bytes;
      break;
    default:
      break;
  }
  return bytes;
}

std::optional<uint32_t> ReadUntypedDword(const RegValue& value) {
  const std::vector<uint8_t> bytes = UntypedBytes(value);
  if (bytes.empty() || bytes.size() > 4) return std::nullopt;
  uint32_t number = 0;
  for (size_t i = 0; i < bytes.size(); ++i) number |= static_cast<uint32_t>(bytes[i]) << (8 * i);
  return number;
}

std::optional<std::u16string> ReadUntypedText(const RegValue& value, size_t capacity) {
  const std::vector<uint8_t> bytes = UntypedBytes(value);
  if (bytes.size() > (capacity + 1) * 2) return std::nullopt;
  std::u16string text;
  for (size_t i = 0; i + 1 < bytes.size() && text.size() < capacity; i += 2) {
    const char16_t c = static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8));
    if (c == 0) break;
    text.push_back(c);
  }
  return text;
}

}  // namespace brevalo
