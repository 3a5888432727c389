// The filter list's icons: one strip of 16 x 16 cells, drawn here, with magenta as the mask
// colour, indexed by FilterListImage.
#pragma once

#include <QPixmap>

namespace brevalo {

inline constexpr int kFilterIconSize = 16;

// The whole strip as drawn, magenta where it is transparent.
const QImage& FilterIconStrip();
// One cell with its mask applied; a null pixmap for an image outside the strip.
const QPixmap& FilterIcon(int image);

}  // namespace brevalo
