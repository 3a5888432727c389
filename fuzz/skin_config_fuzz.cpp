// Feeds any bytes to the skin .cfg reader. Besides surviving, what it reads must be what the
// value forms allow: rectangles never inverted, a key colour never black.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "alert/skin_config.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace brevalo;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  SkinConfig config(bytes);
  SkinValues values = config.Values();
  for (const SkinRect& rect : {values.numberRect, values.textRect, values.textLabelRect,
                               values.numberLabelRect, values.photoRect}) {
    if (rect.right < rect.left || rect.bottom < rect.top) std::abort();
  }
  if (values.transparentColor && *values.transparentColor == 0) std::abort();
  if (!config.HasSection() && !(values == FileSkinDefaults())) std::abort();
  (void)ParseSkinInteger(bytes);
  (void)ParseSkinRect(bytes);
  (void)ParseSkinColor(bytes);
  return 0;
}
