// Feeds any bytes to the BMP decoder, and what it decodes to the shape scan. A decoded picture
// must hold exactly width × height pixels, and re-encoding it must decode to the same pixels.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "alert/bitmap.h"
#include "alert/skin_shape.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace brevalo;
  std::optional<Bitmap> bitmap = DecodeBmp(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!bitmap) return 0;
  if (bitmap->pixels.size() != static_cast<size_t>(bitmap->width) * static_cast<size_t>(bitmap->height)) {
    std::abort();
  }
  for (const ShapeBlock& block : SkinShapeBlocks(*bitmap)) {
    if (block.empty() || block.size() > kShapeBlockRects) std::abort();
  }
  std::optional<Bitmap> again = DecodeBmp(EncodeBmp(*bitmap));
  if (!again || again->pixels != bitmap->pixels) std::abort();
  return 0;
}
