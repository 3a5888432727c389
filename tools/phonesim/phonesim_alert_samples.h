// The alerts' sample files on a device: skins, ring tones and contact photos in the program
// folder, as `phonesim install` leaves them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "device/device_paths.h"

namespace brevalo {

// Writes every sample under `programFolder` (a device path ending in a backslash), making its
// folders, and returns the device paths written; false with `error` set when one could not be.
bool InstallAlertSamples(const Device& device, std::u16string_view programFolder,
                         std::vector<std::u16string>* written, std::string* error);

}  // namespace brevalo
