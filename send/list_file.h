// Where one of the program's list files (the sentences, the groups) is kept: the whole file
// read and written at once. DeviceListFile keeps it in the program folder of the device; tests
// keep it in memory.
#pragma once

#include <string>
#include <string_view>

#include "device/device_file.h"

namespace brevalo {

class ListFile {
 public:
  virtual ~ListFile() = default;
  virtual DeviceFileContents Read() = 0;
  // Replaces the whole file; false when it cannot be written (it is then as it was).
  virtual bool Write(std::string_view bytes) = 0;
};

class DeviceListFile : public ListFile {
 public:
  // The device must outlive this object. `path` is a device path.
  DeviceListFile(const Device& device, std::u16string path)
      : device_(device), path_(std::move(path)) {}
  DeviceFileContents Read() override { return ReadDeviceFile(device_, path_); }
  bool Write(std::string_view bytes) override { return ReplaceDeviceFile(device_, path_, bytes); }
  const std::u16string& Path() const { return path_; }

 private:
  const Device& device_;
  std::u16string path_;
};

}  // namespace brevalo
