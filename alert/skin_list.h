// The skins a chooser offers: "Default" (the built-in look) first, then every "skins\*.cfg" of
// the program folder by name, in the order the file system returns them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "settings/device_files.h"

namespace brevalo {

inline constexpr int IDS_SKIN_DEFAULT = 40355;

// The skin names: each file name without its folder and without everything from its last ".".
std::vector<std::u16string> SkinNames(DeviceFiles& files, std::u16string_view programFolder);

// `defaultText` (the string-table text "Default") followed by the skin names.
std::vector<std::u16string> SkinChoices(DeviceFiles& files, std::u16string_view programFolder,
                                        std::u16string_view defaultText);

// The path stored for a chosen entry: "%sskins\%s.cfg"; empty (the built-in skin) for
// position 0 and for positions outside the list.
std::u16string SkinPathOfChoice(std::u16string_view programFolder,
                                const std::vector<std::u16string>& choices, size_t position);

}  // namespace brevalo
