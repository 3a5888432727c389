// A skin's pieces as Qt draws them: its bitmap as an image, its shape as a region, its font
// and colours.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRect>
#include <QRegion>

#include <vector>

#include "alert/bitmap.h"
#include "alert/skin_shape.h"
#include "alert/skin_values.h"

namespace brevalo {

QImage ToQImage(const Bitmap& bitmap);
// The runs merged block by block into one region.
QRegion ToQRegion(const std::vector<ShapeBlock>& blocks);
QColor ToQColor(SkinColor color);
QRect ToQRect(const SkinRect& rect);  // right and bottom are outside the rectangle

// The font of a skin's height: negative heights are the characters' size in pixels, positive
// ones the whole cell's, 0 a default size. The face "System" is the machine's sans-serif font.
QFont SkinQFont(int32_t height);

// The screen's vertical pixels per logical inch, read once and kept for the rest of the run.
int32_t ScreenPixelsPerInch();

}  // namespace brevalo
