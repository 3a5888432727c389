// A picture as plain pixels, and the device-independent bitmap file (.bmp) in both directions:
// skins and photos are BMP files, and the sample skins are written by our own code.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brevalo {

// Pixels top-down, left to right, each 0x00RRGGBB.
struct Bitmap {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;

  Bitmap() = default;
  Bitmap(int w, int h, uint32_t fill = 0)
      : width(w), height(h), pixels(static_cast<size_t>(w) * static_cast<size_t>(h), fill) {}
  bool empty() const { return pixels.empty(); }
  // REQUIRES: 0 <= x < width, 0 <= y < height.
  uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
  uint32_t& At(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
};

inline constexpr uint32_t Rgb(uint8_t r, uint8_t g, uint8_t b) {
  return (uint32_t{r} << 16) | (uint32_t{g} << 8) | b;
}

// Pictures larger than this on either side are refused: no skin or photo is near it.
inline constexpr int kBitmapMaxSide = 4096;

// Uncompressed BMP files of 1, 4, 8, 16, 24 and 32 bits per pixel (bit fields included),
// bottom-up or top-down, with the core, info and later headers. Nothing for anything else:
// compressed, truncated or oversized files.
std::optional<Bitmap> DecodeBmp(std::string_view bytes);

// A 24-bit bottom-up BMP file with an info header.
std::string EncodeBmp(const Bitmap& bitmap);

}  // namespace brevalo
