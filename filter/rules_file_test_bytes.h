// Test helper: the bytes of a rules file from its text, and back.
#pragma once

#include <string>
#include <string_view>

namespace brevalo::testing {

// Little-endian units of `text`, after FF FE unless the caller passes its own first bytes.
inline std::string RulesBytes(std::u16string_view text, std::string_view mark = "\xFF\xFE") {
  std::string bytes(mark);
  for (char16_t c : text) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>(c >> 8);
  }
  return bytes;
}

// The units after the first two bytes.
inline std::u16string RulesText(std::string_view bytes) {
  std::u16string text;
  for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
    text += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                  (static_cast<unsigned char>(bytes[i + 1]) << 8));
  }
  return text;
}

}  // namespace brevalo::testing
