// Whole files of the device file system by device path, for the program's small list files:
// read at once, and replaced at once (a temporary file renamed over the old one), so that a
// program ending in the middle of a write leaves the old list or the new one.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "device/device_paths.h"

namespace brevalo {

enum class DeviceFileState { kRead, kMissing, kUnreadable };

struct DeviceFileContents {
  DeviceFileState state = DeviceFileState::kMissing;
  std::string bytes;  // kRead only
};

// kMissing only when nothing of that name exists; a folder, a path outside the device or a
// read error is kUnreadable, because something may be there that a rewrite would destroy.
DeviceFileContents ReadDeviceFile(const Device& device, std::u16string_view path);
// False when the file cannot be written; it is then as it was.
bool ReplaceDeviceFile(const Device& device, std::u16string_view path, std::string_view bytes);

}  // namespace brevalo
