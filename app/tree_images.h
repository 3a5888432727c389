// The pictures of the folder tree: one strip of seven 16 x 16 images (112 x 16), drawn by our
// own code on magenta, which is the transparent colour. An item's image index is its kind:
// 0 page with a lightning mark, 1 folder, 2 read message, 3 unread message, 4 empty recycle bin,
// 5 full recycle bin, 6 the go-up row of the Preview list.
#pragma once

#include <QImage>
#include <QPixmap>

namespace brevalo {

inline constexpr int kTreeImageSize = 16;
inline constexpr int kTreeImageCount = 7;
inline constexpr int kImageGoUp = 6;
inline constexpr QRgb kTreeImageMask = 0xFFFF00FF;

// The strip as drawn, magenta where nothing is.
QImage TreeImageStrip();
// Image `index` of the strip with magenta made transparent; an empty pixmap for an index
// outside the strip (a kind read from a damaged file).
const QPixmap& TreeImage(int index);

}  // namespace brevalo
