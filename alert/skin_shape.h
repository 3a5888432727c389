// The shape of a skinned window: every pixel of its bitmap whose colour differs from the key
// colour, the colour of the top-left pixel. Built as one-pixel-high runs, row by row, handed
// out in blocks of at most 2000 rectangles, each block merged into the window's region.
#pragma once

#include <cstddef>
#include <vector>

#include "alert/bitmap.h"

namespace brevalo {

inline constexpr size_t kShapeBlockRects = 2000;

struct ShapeRun {
  int x = 0;
  int y = 0;
  int width = 0;  // the run covers x .. x + width - 1 of row y
  friend bool operator==(const ShapeRun&, const ShapeRun&) = default;
};

using ShapeBlock = std::vector<ShapeRun>;

// Empty for an empty bitmap, and for one that has the key colour only.
std::vector<ShapeBlock> SkinShapeBlocks(const Bitmap& bitmap);

}  // namespace brevalo
