// What one folder of the device file system holds, for the file browser: each entry's name,
// whether it is a folder, and a file's size. Only entries inside the device's fs/ are listed:
// symbolic links are left out, so that nothing outside the device is ever shown or entered.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "device/device_paths.h"

namespace brevalo {

struct DeviceFolderEntry {
  std::u16string name;  // without the folder
  bool isFolder = false;
  uint64_t size = 0;    // bytes; 0 for folders
};

// The entries of an absolute device folder ("\" or "\My Documents", with or without the trailing
// backslash) in the file system's order. Nothing when it is not a folder inside the device.
std::optional<std::vector<DeviceFolderEntry>> ListDeviceFolder(const Device& device,
                                                               std::u16string_view folder);
bool DeviceFolderExists(const Device& device, std::u16string_view folder);
// An existing folder as the file system spells it ("\my documents" gives "\My Documents");
// nothing when it is not a folder inside the device.
std::optional<std::u16string> ExistingFolderPath(const Device& device, std::u16string_view folder);
bool DeviceFileExists(const Device& device, std::u16string_view path);

}  // namespace brevalo
