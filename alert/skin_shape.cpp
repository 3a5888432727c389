#include "alert/skin_shape.h"

namespace brevalo {

std::vector<ShapeBlock> SkinShapeBlocks(const Bitmap& bitmap) {
  std::vector<ShapeBlock> blocks;
  if (bitmap.empty()) return blocks;
  // Red, green and blue compared exactly; the byte above them is not part of the colour.
  const uint32_t key = bitmap.At(0, 0) & 0xFFFFFF;
  ShapeBlock block;
  for (int y = 0; y < bitmap.height; ++y) {
    int x = 0;
    while (x < bitmap.width) {
      while (x < bitmap.width && (bitmap.At(x, y) & 0xFFFFFF) == key) ++x;
      int start = x;
      while (x < bitmap.width && (bitmap.At(x, y) & 0xFFFFFF) != key) ++x;
      if (x == start) continue;
      block.push_back({start, y, x - start});
      if (block.size() == kShapeBlockRects) blocks.push_back(std::move(block)), block.clear();
    }
  }
  if (!block.empty()) blocks.push_back(std::move(block));
  return blocks;
}

}  // namespace brevalo
