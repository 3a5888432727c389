// A few shapes painted onto a Bitmap, for the pictures the program draws itself: the built-in
// skin, and the sample skins and photos that `phonesim install` puts on a device.
#pragma once

#include <functional>

#include "alert/bitmap.h"

namespace brevalo {

// a and b mixed: t = 0 gives a, t = 1 gives b.
uint32_t MixColor(uint32_t a, uint32_t b, double t);

// Whether pixel (x, y) lies in the rectangle left..right-1, top..bottom-1 with corners
// rounded by `radius`.
bool InRoundRect(int x, int y, int left, int top, int right, int bottom, int radius);
// Whether pixel (x, y) lies in the ellipse inside that rectangle.
bool InEllipse(int x, int y, int left, int top, int right, int bottom);

// Paints color(x, y) on every pixel for which inside(x, y) holds.
void PaintWhere(Bitmap& bitmap, const std::function<bool(int, int)>& inside,
                const std::function<uint32_t(int, int)>& color);

// A rounded rectangle filled top to bottom from `top` to `bottom` colour, with a one-pixel
// border; radius 0 gives square corners.
void PaintPanel(Bitmap& bitmap, int left, int top, int right, int bottom, int radius, uint32_t topColor,
                uint32_t bottomColor, uint32_t border);

}  // namespace brevalo
