// A pop-up's skin: its values, its bitmap and its font height, loaded from a .cfg file and the
// .bmp of the same name, or the built-in look when there is no skin or it cannot be loaded.
// Loading with apply places the window and cuts it to the bitmap's shape.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "alert/bitmap.h"
#include "alert/file_source.h"
#include "alert/skin_shape.h"
#include "alert/skin_values.h"

namespace brevalo {

inline constexpr size_t kSkinPathCapacity = 259;

// The window a skin places and shapes.
class SkinWindow {
 public:
  virtual ~SkinWindow() = default;
  // Any previous shape removed, the window moved to left, top, width, height (screen pixels),
  // then shaped: null `shape` leaves it rectangular.
  virtual void PlaceSkinWindow(const SkinValues& values, const std::vector<ShapeBlock>* shape) = 0;
};

// The font height of a size in points: -(points × pixels per inch ÷ 72), truncated toward
// zero; negative sizes give a positive height. Clamped to the 32-bit range.
int32_t SkinFontHeight(int32_t points, int32_t pixelsPerInch);

// The .bmp of a .cfg path: its last three characters replaced by "bmp". Empty when the path
// is shorter than that.
std::u16string SkinBitmapPath(std::u16string_view cfgPath);

class Skin {
 public:
  // The window and files must outlive the skin; pixelsPerInch is the screen's, read once.
  Skin(SkinWindow& window, FileSource& files, int32_t pixelsPerInch);
  Skin(const Skin&) = delete;
  Skin& operator=(const Skin&) = delete;

  // Loads `path` (empty for the built-in skin), unless it is the path and apply flag of the
  // last load, which then costs nothing. A missing or undecodable bitmap or a missing .cfg
  // gives the built-in skin, which is always applied.
  void Load(std::u16string_view path, bool apply);

  const std::u16string& Path() const { return path_; }
  bool Applied() const { return applied_; }
  bool BuiltIn() const { return builtIn_; }
  const SkinValues& Values() const { return values_; }
  const Bitmap& Background() const { return background_; }
  int32_t FontHeight() const { return fontHeight_; }
  // Counts the loads that read something, so that pictures made from the skin know when to
  // be made again.
  uint64_t Generation() const { return generation_; }

 private:
  bool LoadFiles();
  void LoadBuiltIn();
  void Place(bool shaped);

  SkinWindow& window_;
  FileSource& files_;
  int32_t pixelsPerInch_;
  bool loaded_ = false;
  std::u16string path_;
  bool apply_ = false;
  bool applied_ = false;
  bool builtIn_ = false;
  SkinValues values_;
  Bitmap background_;
  int32_t fontHeight_ = 0;
  uint64_t generation_ = 0;
};

}  // namespace brevalo
