// Little-endian fields read from and appended to byte strings, for the BMP and WAV files the
// alerts read and write.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace brevalo {

// REQUIRES: bytes holds at least offset + 2 bytes.
inline uint32_t ReadLe16(std::string_view bytes, size_t offset) {
  return static_cast<uint8_t>(bytes[offset]) |
         (static_cast<uint32_t>(static_cast<uint8_t>(bytes[offset + 1])) << 8);
}

// REQUIRES: bytes holds at least offset + 4 bytes.
inline uint32_t ReadLe32(std::string_view bytes, size_t offset) {
  return ReadLe16(bytes, offset) | (ReadLe16(bytes, offset + 2) << 16);
}

inline void AppendLe16(std::string& out, uint32_t value) {
  out.push_back(static_cast<char>(value & 0xFF));
  out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

inline void AppendLe32(std::string& out, uint32_t value) {
  AppendLe16(out, value & 0xFFFF);
  AppendLe16(out, value >> 16);
}

}  // namespace brevalo
