// Reading a skin's .cfg text (layout in skin_file_format.h) into SkinValues.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "alert/skin_values.h"

namespace brevalo {

class SkinConfig {
 public:
  // `text` may hold any bytes; it is split as the phone's line reader splits it.
  explicit SkinConfig(std::string_view text);

  // The value of the first line of the section whose key is exactly `key`, without its line
  // feed and trailing blanks; nothing when the section or the key is missing.
  std::optional<std::string> Find(std::string_view key) const;
  bool HasSection() const { return sectionStart_.has_value(); }

  // Every key read with the file defaults for what is missing or rejected.
  SkinValues Values() const;

 private:
  std::vector<std::string> lines_;
  std::optional<size_t> sectionStart_;  // index of the first line after the section's header
};

// The value forms. Each gives nothing for a value it rejects.
// Integer: at most 10 characters, decimal digits with an optional leading "-"; empty is 0.
std::optional<int32_t> ParseSkinInteger(std::string_view value);
// "%d,%d,%d,%d" as left, top, right, bottom, accepted when right >= left and bottom >= top.
std::optional<SkinRect> ParseSkinRect(std::string_view value);
// "%d,%d,%d" as red, green, blue, each 0 to 255.
std::optional<SkinColor> ParseSkinColor(std::string_view value);

}  // namespace brevalo
