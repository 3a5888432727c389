#include "alert/skin_artwork.h"

#include "alert/pixel_canvas.h"

namespace brevalo {
namespace {

constexpr uint32_t kKeyColor = Rgb(255, 0, 255);

// A speech bubble with a dark band for the sender and a light panel for the text.
Bitmap OceanBitmap() {
  Bitmap b(170, 100, kKeyColor);
  PaintPanel(b, 0, 0, 170, 88, 14, Rgb(90, 170, 230), Rgb(20, 80, 160), Rgb(10, 40, 90));
  PaintWhere(
      b,
      [](int x, int y) { return y >= 86 && y < 100 && x >= 22 && x < 22 + (100 - y) * 20 / 14; },
      [](int x, int y) {
        bool edge = x == 22 || x + 1 >= 22 + (100 - y) * 20 / 14;
        return edge ? Rgb(10, 40, 90) : Rgb(20, 80, 160);
      });
  PaintPanel(b, 56, 6, 164, 27, 6, Rgb(15, 50, 110), Rgb(10, 35, 80), Rgb(150, 200, 240));
  PaintPanel(b, 56, 30, 164, 82, 6, Rgb(245, 250, 255), Rgb(215, 232, 248), Rgb(120, 160, 210));
  PaintPanel(b, 8, 20, 54, 66, 4, Rgb(230, 240, 250), Rgb(200, 215, 235), Rgb(240, 250, 255));
  return b;
}

// A plain card with a header rule, square corners and room for the two labels.
Bitmap PaperBitmap() {
  Bitmap b(200, 110, Rgb(252, 246, 228));
  PaintPanel(b, 0, 0, 200, 110, 0, Rgb(252, 246, 228), Rgb(240, 228, 196), Rgb(150, 110, 60));
  PaintWhere(
      b, [](int x, int y) { return y == 27 && x > 6 && x < 193; },
      [](int, int) { return Rgb(190, 150, 90); });
  return b;
}

constexpr const char kOceanCfg[] =
    "; A speech bubble: the magenta around it is cut away.\r\n"
    "[DudadOruv Skin SP]\r\n"
    "DialogLeft=35\r\n"
    "DialogTop=80\r\n"
    "DialogWidth=170\r\n"
    "DialogHeight=100\r\n"
    "NumTextRect=62,8,160,25\r\n"
    "DesTextRect=62,32,160,80\r\n"
    "PhotoRect=10,22,52,64\r\n"
    "FontSize=8\r\n"
    "ShowPhoto=1\r\n"
    "ShowNumber=1\r\n"
    "ShowDescription=1\r\n"
    "NumColor=255,255,255\r\n"
    "DesColor=10,30,60\r\n"
    "TransparentColor=255,0,255\r\n";

constexpr const char kPaperCfg[] =
    "; A card with labels; without TransparentColor it stays rectangular.\r\n"
    "[DudadOruv Skin SP]\r\n"
    "DialogLeft=20\r\n"
    "DialogTop=90\r\n"
    "DialogWidth=200\r\n"
    "DialogHeight=110\r\n"
    "NumLableRect=8,6,50,26\r\n"
    "NumTextRect=52,6,192,26\r\n"
    "DesLabelRect=8,32,50,48\r\n"
    "DesTextRect=52,32,192,104\r\n"
    "FontSize=8\r\n"
    "ShowPhoto=0\r\n"
    "ShowNumberLabel=1\r\n"
    "ShowDescriptionLabel=1\r\n"
    "NumColor=40,30,20\r\n"
    "DesColor=40,30,20\r\n"
    "LabelColor=140,70,20\r\n";

}  // namespace

Bitmap BuiltInSkinBitmap() {
  Bitmap b(150, 95, kKeyColor);
  PaintPanel(b, 0, 0, 150, 95, 10, Rgb(226, 238, 255), Rgb(160, 192, 236), Rgb(40, 80, 150));
  PaintPanel(b, 26, 4, 148, 24, 4, Rgb(255, 255, 255), Rgb(232, 240, 252), Rgb(110, 140, 190));
  PaintPanel(b, 47, 25, 148, 91, 4, Rgb(255, 255, 255), Rgb(238, 243, 250), Rgb(110, 140, 190));
  PaintPanel(b, 3, 28, 47, 72, 3, Rgb(214, 226, 244), Rgb(190, 206, 232), Rgb(90, 120, 170));
  return b;
}

std::vector<SampleSkin> SampleSkins() {
  return {{u"Ocean", kOceanCfg, OceanBitmap()}, {u"Paper", kPaperCfg, PaperBitmap()}};
}

}  // namespace brevalo
