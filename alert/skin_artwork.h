// The skins the program draws itself: the built-in look (the bitmap the program carries) and
// the sample skins that `phonesim install` writes into the skins folder.
#pragma once

#include <string>
#include <vector>

#include "alert/bitmap.h"

namespace brevalo {

// 150 × 95 pixels: a rounded panel on the key colour, with places for the sender line, the
// text and the photo of the built-in values.
Bitmap BuiltInSkinBitmap();

struct SampleSkin {
  std::u16string name;  // NAME.cfg and NAME.bmp
  std::string cfg;
  Bitmap bitmap;
};

// At least one shaped skin and one rectangular one.
std::vector<SampleSkin> SampleSkins();

}  // namespace brevalo
