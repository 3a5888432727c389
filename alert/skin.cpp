#include "alert/skin.h"

#include <limits>

#include "alert/skin_artwork.h"
#include "alert/skin_config.h"

namespace brevalo {

int32_t SkinFontHeight(int32_t points, int32_t pixelsPerInch) {
  int64_t height = -(int64_t{points} * pixelsPerInch / 72);
  if (height > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (height < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(height);
}

std::u16string SkinBitmapPath(std::u16string_view cfgPath) {
  if (cfgPath.size() < 3) return {};
  std::u16string path(cfgPath.substr(0, cfgPath.size() - 3));
  return path + u"bmp";
}

Skin::Skin(SkinWindow& window, FileSource& files, int32_t pixelsPerInch)
    : window_(window), files_(files), pixelsPerInch_(pixelsPerInch) {}

void Skin::Load(std::u16string_view path, bool apply) {
  path = path.substr(0, kSkinPathCapacity);
  if (loaded_ && path == path_ && apply == apply_) return;
  loaded_ = true;
  path_.assign(path);
  apply_ = apply;
  background_ = Bitmap();
  ++generation_;
  if (path_.empty() || !LoadFiles()) LoadBuiltIn();
}

bool Skin::LoadFiles() {
  std::optional<std::string> bmp = files_.Read(SkinBitmapPath(path_));
  std::optional<Bitmap> bitmap = bmp ? DecodeBmp(*bmp) : std::nullopt;
  if (!bitmap) return false;
  std::optional<std::string> cfg = files_.Read(path_);
  if (!cfg) return false;
  background_ = std::move(*bitmap);
  values_ = SkinConfig(*cfg).Values();
  fontHeight_ = SkinFontHeight(values_.fontSize, pixelsPerInch_);
  builtIn_ = false;
  applied_ = apply_;
  if (apply_) Place(values_.transparentColor.has_value());
  return true;
}

void Skin::LoadBuiltIn() {
  background_ = BuiltInSkinBitmap();
  values_ = BuiltInSkinValues();
  fontHeight_ = SkinFontHeight(values_.fontSize, pixelsPerInch_);
  builtIn_ = true;
  applied_ = true;
  Place(true);
}

void Skin::Place(bool shaped) {
  if (!shaped) {
    window_.PlaceSkinWindow(values_, nullptr);
    return;
  }
  std::vector<ShapeBlock> shape = SkinShapeBlocks(background_);
  window_.PlaceSkinWindow(values_, &shape);
}

}  // namespace brevalo
