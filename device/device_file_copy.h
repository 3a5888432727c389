// Copying and deleting single files of the device file system by device path, as installers and
// the program's registration steps do. A copy takes the target's name only once it is complete,
// so that a process that has the old file open or mapped (a library in use) keeps the old one.
#pragma once

#include <string_view>

#include "device/device_paths.h"

namespace brevalo {

// Copies `from` over `to`, replacing a file that is there. False when `from` is not a readable
// file or the target's folder does not exist; `to` is then as it was.
bool CopyDeviceFile(const Device& device, std::u16string_view from, std::u16string_view to);

// True when no file of that name is left: deleted now, or missing already. False when the path
// is outside the device, names a folder, or the file could not be deleted.
bool DeleteDeviceFile(const Device& device, std::u16string_view path);

}  // namespace brevalo
