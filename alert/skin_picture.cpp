#include "alert/skin_picture.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

namespace brevalo {
namespace {

constexpr int kDefaultPixelSize = 12;
constexpr int kLargestPixelSize = 200;  // larger text would not fit any pop-up

}  // namespace

QImage ToQImage(const Bitmap& bitmap) {
  QImage image(bitmap.width, bitmap.height, QImage::Format_RGB32);
  for (int y = 0; y < bitmap.height; ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < bitmap.width; ++x) line[x] = 0xFF000000u | bitmap.At(x, y);
  }
  return image;
}

QRegion ToQRegion(const std::vector<ShapeBlock>& blocks) {
  QRegion region;
  for (const ShapeBlock& block : blocks) {
    std::vector<QRect> rects;
    rects.reserve(block.size());
    for (const ShapeRun& run : block) rects.emplace_back(run.x, run.y, run.width, 1);
    QRegion part;
    part.setRects(rects.data(), static_cast<int>(rects.size()));
    region += part;
  }
  return region;
}

QColor ToQColor(SkinColor color) { return QColor(SkinRed(color), SkinGreen(color), SkinBlue(color)); }

QRect ToQRect(const SkinRect& rect) {
  return QRect(QPoint(rect.left, rect.top), QSize(rect.Width(), rect.Height()));
}

QFont SkinQFont(int32_t height) {
  QFont font("DejaVu Sans");
  font.setStyleHint(QFont::SansSerif);
  font.setWeight(QFont::Normal);
  if (height == 0) {
    font.setPixelSize(kDefaultPixelSize);
  } else if (height < 0) {
    font.setPixelSize(static_cast<int>(std::min<int64_t>(-int64_t{height}, kLargestPixelSize)));
  } else {
    // A cell height: the characters are that much smaller than the line they stand on.
    int cell = std::min(height, kLargestPixelSize);
    font.setPixelSize(cell);
    QFontMetrics metrics(font);
    int scaled = metrics.height() > 0 ? cell * cell / metrics.height() : cell;
    font.setPixelSize(std::max(1, scaled));
  }
  return font;
}

int32_t ScreenPixelsPerInch() {
  static const int32_t dpi = [] {
    QScreen* screen = QGuiApplication::primaryScreen();
    int value = screen ? static_cast<int>(screen->logicalDotsPerInchY()) : 96;
    return value > 0 ? value : 96;
  }();
  return dpi;
}

}  // namespace brevalo
