// What the settings need to know about the device's file system: the entries of a folder in the
// order the file system keeps them, and whether a file exists. Tests give their own listing;
// HostDeviceFiles answers from a device folder.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brevalo {

struct DeviceFileEntry {
  std::u16string name;  // without the folder
  bool isFile = false;  // false for folders and anything else that cannot be played or loaded
};

class DeviceFiles {
 public:
  virtual ~DeviceFiles() = default;

  // folder is an absolute device path, with or without the trailing backslash. Nothing when it
  // cannot be read.
  virtual std::optional<std::vector<DeviceFileEntry>> List(std::u16string_view folder) = 0;
  virtual bool FileExists(std::u16string_view path) = 0;
};

}  // namespace brevalo
