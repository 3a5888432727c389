#include "alert/pixel_canvas.h"

namespace brevalo {

uint32_t MixColor(uint32_t a, uint32_t b, double t) {
  auto channel = [t](uint32_t x, uint32_t y) {
    return static_cast<uint32_t>(static_cast<double>(x) + (static_cast<double>(y) - static_cast<double>(x)) * t + 0.5);
  };
  return (channel((a >> 16) & 0xFF, (b >> 16) & 0xFF) << 16) | (channel((a >> 8) & 0xFF, (b >> 8) & 0xFF) << 8) |
         channel(a & 0xFF, b & 0xFF);
}

bool InRoundRect(int x, int y, int left, int top, int right, int bottom, int radius) {
  if (x < left || x >= right || y < top || y >= bottom) return false;
  // Distance into the corner square, measured from the centre of the corner's circle.
  int cx = x < left + radius ? left + radius - x : x >= right - radius ? x - (right - radius - 1) : 0;
  int cy = y < top + radius ? top + radius - y : y >= bottom - radius ? y - (bottom - radius - 1) : 0;
  return cx == 0 || cy == 0 || cx * cx + cy * cy <= radius * radius;
}

bool InEllipse(int x, int y, int left, int top, int right, int bottom) {
  double rx = (right - left) / 2.0, ry = (bottom - top) / 2.0;
  if (rx <= 0 || ry <= 0) return false;
  double dx = (x + 0.5 - left - rx) / rx, dy = (y + 0.5 - top - ry) / ry;
  return dx * dx + dy * dy <= 1.0;
}

void PaintWhere(Bitmap& bitmap, const std::function<bool(int, int)>& inside,
                const std::function<uint32_t(int, int)>& color) {
  for (int y = 0; y < bitmap.height; ++y) {
    for (int x = 0; x < bitmap.width; ++x) {
      if (inside(x, y)) bitmap.At(x, y) = color(x, y);
    }
  }
}

void PaintPanel(Bitmap& bitmap, int left, int top, int right, int bottom, int radius, uint32_t topColor,
                uint32_t bottomColor, uint32_t border) {
  const double span = bottom - top > 1 ? bottom - top - 1 : 1;
  PaintWhere(
      bitmap, [&](int x, int y) { return InRoundRect(x, y, left, top, right, bottom, radius); },
      [&](int x, int y) {
        bool edge = !InRoundRect(x - 1, y, left, top, right, bottom, radius) ||
                    !InRoundRect(x + 1, y, left, top, right, bottom, radius) ||
                    !InRoundRect(x, y - 1, left, top, right, bottom, radius) ||
                    !InRoundRect(x, y + 1, left, top, right, bottom, radius);
        return edge ? border : MixColor(topColor, bottomColor, (y - top) / span);
      });
}

}  // namespace brevalo
