// What a skin says about the pop-up: its place and size on the screen, the rectangles it draws
// into, the font size, the colours and what it shows. Plain values; the .cfg reader fills them
// and the built-in skin has its own.
#pragma once

#include <cstdint>
#include <optional>

namespace brevalo {

// Left, top, right, bottom in the pop-up's coordinates.
struct SkinRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
  int32_t Width() const { return right - left; }
  int32_t Height() const { return bottom - top; }
  friend bool operator==(const SkinRect&, const SkinRect&) = default;
};

// A colour value: red in the low byte, then green, then blue.
using SkinColor = uint32_t;
constexpr SkinColor MakeSkinColor(uint8_t red, uint8_t green, uint8_t blue) {
  return static_cast<SkinColor>(red) | (static_cast<SkinColor>(green) << 8) |
         (static_cast<SkinColor>(blue) << 16);
}
constexpr uint8_t SkinRed(SkinColor c) { return static_cast<uint8_t>(c & 0xFF); }
constexpr uint8_t SkinGreen(SkinColor c) { return static_cast<uint8_t>((c >> 8) & 0xFF); }
constexpr uint8_t SkinBlue(SkinColor c) { return static_cast<uint8_t>((c >> 16) & 0xFF); }

struct SkinValues {
  int32_t left = 12;
  int32_t top = 59;
  int32_t width = 150;
  int32_t height = 95;
  SkinRect numberRect{29, 6, 145, 22};
  SkinRect textRect{50, 27, 145, 88};
  SkinRect textLabelRect{5, 42, 35, 52};
  SkinRect numberLabelRect{5, 32, 35, 42};
  SkinRect photoRect{8, 24, 68, 84};
  int32_t fontSize = 9;  // points
  int32_t showPhoto = 0;
  int32_t showNumberLabel = 0;
  int32_t showTextLabel = 0;
  int32_t showNumber = 1;
  int32_t showText = 1;
  SkinColor numberColor = 0;
  SkinColor textColor = 0;
  SkinColor labelColor = 0;
  // Present, valid and not black: the window takes the shape of its bitmap.
  std::optional<SkinColor> transparentColor;

  friend bool operator==(const SkinValues&, const SkinValues&) = default;
};

// What a .cfg file gives for every key it lacks or rejects.
inline SkinValues FileSkinDefaults() { return SkinValues{}; }

// The look used without a skin file: its own photo rectangle, the photo shown, always shaped.
inline SkinValues BuiltInSkinValues() {
  SkinValues values;
  values.photoRect = {5, 30, 45, 70};
  values.showPhoto = 1;
  return values;
}

}  // namespace brevalo
