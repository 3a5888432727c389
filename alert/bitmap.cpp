#include "alert/bitmap.h"

#include <array>

#include "alert/little_endian.h"

namespace brevalo {
namespace {

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kCoreHeaderSize = 12;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiBitfields = 3;

// One channel of a bit-field pixel scaled to 8 bits.
uint8_t Channel(uint32_t pixel, uint32_t mask) {
  if (mask == 0) return 0;
  int shift = 0;
  while (((mask >> shift) & 1) == 0) ++shift;
  uint32_t bits = mask >> shift;
  uint32_t value = (pixel & mask) >> shift;
  int width = 0;
  while (width < 32 && ((bits >> width) & 1)) ++width;
  if (width >= 8) return static_cast<uint8_t>(value >> (width - 8));
  return static_cast<uint8_t>((value * 255 + bits / 2) / bits);
}

struct Header {
  int width = 0;
  int height = 0;
  bool topDown = false;
  uint32_t bits = 0;
  uint32_t compression = kBiRgb;
  uint32_t paletteEntries = 0;
  uint32_t paletteEntrySize = 4;
  size_t paletteOffset = 0;
  std::array<uint32_t, 3> masks{};
};

bool ReadHeader(std::string_view b, Header* h) {
  if (b.size() < kFileHeaderSize + 4 || b[0] != 'B' || b[1] != 'M') return false;
  uint32_t size = ReadLe32(b, kFileHeaderSize);
  if (size < kCoreHeaderSize || size > b.size() - kFileHeaderSize) return false;
  int64_t width = 0, height = 0;
  if (size == kCoreHeaderSize) {
    width = ReadLe16(b, kFileHeaderSize + 4);
    height = static_cast<int16_t>(ReadLe16(b, kFileHeaderSize + 6));
    if (ReadLe16(b, kFileHeaderSize + 8) != 1) return false;
    h->bits = ReadLe16(b, kFileHeaderSize + 10);
    h->paletteEntrySize = 3;
  } else {
    if (size < kInfoHeaderSize) return false;
    width = static_cast<int32_t>(ReadLe32(b, kFileHeaderSize + 4));
    height = static_cast<int32_t>(ReadLe32(b, kFileHeaderSize + 8));
    if (ReadLe16(b, kFileHeaderSize + 12) != 1) return false;
    h->bits = ReadLe16(b, kFileHeaderSize + 14);
    h->compression = ReadLe32(b, kFileHeaderSize + 16);
    h->paletteEntries = ReadLe32(b, kFileHeaderSize + 32);
  }
  h->topDown = height < 0;
  height = height < 0 ? -height : height;
  if (width < 1 || height < 1 || width > kBitmapMaxSide || height > kBitmapMaxSide) return false;
  h->width = static_cast<int>(width);
  h->height = static_cast<int>(height);
  h->paletteOffset = kFileHeaderSize + size;
  if (h->compression == kBiBitfields) {
    if (h->bits != 16 && h->bits != 32) return false;
    // The masks follow a plain info header, or are part of the later headers.
    size_t at = kFileHeaderSize + kInfoHeaderSize;
    if (b.size() < at + 12) return false;
    for (int i = 0; i < 3; ++i) h->masks[static_cast<size_t>(i)] = ReadLe32(b, at + 4 * static_cast<size_t>(i));
    if (size == kInfoHeaderSize) h->paletteOffset += 12;
  } else if (h->compression != kBiRgb) {
    return false;
  } else if (h->bits == 16) {
    h->masks = {0x7C00, 0x03E0, 0x001F};
  } else if (h->bits == 32) {
    h->masks = {0xFF0000, 0x00FF00, 0x0000FF};
  }
  switch (h->bits) {
    case 1: case 4: case 8:
      if (h->paletteEntries == 0 || h->paletteEntries > (1u << h->bits)) h->paletteEntries = 1u << h->bits;
      break;
    case 16: case 24: case 32:
      h->paletteEntries = 0;
      break;
    default:
      return false;
  }
  return true;
}

}  // namespace

std::optional<Bitmap> DecodeBmp(std::string_view b) {
  Header h;
  if (!ReadHeader(b, &h)) return std::nullopt;
  std::vector<uint32_t> palette(h.paletteEntries, 0);
  if (h.paletteEntries > 0) {
    if (h.paletteOffset > b.size() || (b.size() - h.paletteOffset) / h.paletteEntrySize < h.paletteEntries) {
      return std::nullopt;
    }
    for (size_t i = 0; i < h.paletteEntries; ++i) {
      size_t at = h.paletteOffset + i * h.paletteEntrySize;
      palette[i] = Rgb(static_cast<uint8_t>(b[at + 2]), static_cast<uint8_t>(b[at + 1]),
                       static_cast<uint8_t>(b[at]));
    }
  }
  uint32_t dataOffset = ReadLe32(b, 10);
  const size_t stride = ((static_cast<size_t>(h.width) * h.bits + 31) / 32) * 4;
  if (dataOffset > b.size() || (b.size() - dataOffset) / stride < static_cast<size_t>(h.height)) {
    return std::nullopt;
  }
  Bitmap out(h.width, h.height);
  for (int row = 0; row < h.height; ++row) {
    int y = h.topDown ? row : h.height - 1 - row;
    std::string_view line = b.substr(dataOffset + static_cast<size_t>(row) * stride, stride);
    for (int x = 0; x < h.width; ++x) {
      uint32_t pixel = 0;
      size_t ux = static_cast<size_t>(x);
      switch (h.bits) {
        case 1: case 4: case 8: {
          size_t bit = ux * h.bits;
          uint32_t byte = static_cast<uint8_t>(line[bit / 8]);
          uint32_t index = (byte >> (8 - h.bits - bit % 8)) & ((1u << h.bits) - 1);
          // An index past a short palette is black, as the platform draws it.
          pixel = index < palette.size() ? palette[index] : 0;
          break;
        }
        case 24:
          pixel = Rgb(static_cast<uint8_t>(line[ux * 3 + 2]), static_cast<uint8_t>(line[ux * 3 + 1]),
                      static_cast<uint8_t>(line[ux * 3]));
          break;
        default: {
          uint32_t raw = h.bits == 16 ? ReadLe16(line, ux * 2) : ReadLe32(line, ux * 4);
          pixel = Rgb(Channel(raw, h.masks[0]), Channel(raw, h.masks[1]), Channel(raw, h.masks[2]));
          break;
        }
      }
      out.At(x, y) = pixel;
    }
  }
  return out;
}

std::string EncodeBmp(const Bitmap& bitmap) {
  const size_t stride = ((static_cast<size_t>(bitmap.width) * 24 + 31) / 32) * 4;
  const uint32_t dataSize = static_cast<uint32_t>(stride * static_cast<size_t>(bitmap.height));
  const uint32_t offset = kFileHeaderSize + kInfoHeaderSize;
  std::string out;
  out.reserve(offset + dataSize);
  out += "BM";
  AppendLe32(out, offset + dataSize);
  AppendLe32(out, 0);
  AppendLe32(out, offset);
  AppendLe32(out, kInfoHeaderSize);
  AppendLe32(out, static_cast<uint32_t>(bitmap.width));
  AppendLe32(out, static_cast<uint32_t>(bitmap.height));
  AppendLe16(out, 1);
  AppendLe16(out, 24);
  AppendLe32(out, kBiRgb);
  AppendLe32(out, dataSize);
  AppendLe32(out, 2835);  // 72 dots per inch
  AppendLe32(out, 2835);
  AppendLe32(out, 0);
  AppendLe32(out, 0);
  for (int y = bitmap.height - 1; y >= 0; --y) {
    size_t start = out.size();
    for (int x = 0; x < bitmap.width; ++x) {
      uint32_t p = bitmap.At(x, y);
      out.push_back(static_cast<char>(p & 0xFF));
      out.push_back(static_cast<char>((p >> 8) & 0xFF));
      out.push_back(static_cast<char>((p >> 16) & 0xFF));
    }
    out.append(stride - (out.size() - start), '\0');
  }
  return out;
}

}  // namespace brevalo
