// Little-endian fields appended to a byte string, for the BMP and WAV files the alerts write.
#pragma once

#include <cstdint>
#include <string>

namespace brevalo {

inline void AppendLe16(std::string& out, uint32_t value) {
  out.push_back(static_cast<char>(value & 0xFF));
  out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

inline void AppendLe32(std::string& out, uint32_t value) {
  AppendLe16(out, value & 0xFFFF);
  AppendLe16(out, value >> 16);
}

}  // namespace brevalo
