// DeviceFiles over the folder of one emulated device: device paths become host paths through
// Device::HostPath, so nothing outside the device's file system is ever listed.
#pragma once

#include "device/device_paths.h"
#include "settings/device_files.h"

namespace brevalo {

class HostDeviceFiles : public DeviceFiles {
 public:
  // The device must outlive this object.
  explicit HostDeviceFiles(const Device& device) : device_(device) {}

  std::optional<std::vector<DeviceFileEntry>> List(std::u16string_view folder) override;
  bool FileExists(std::u16string_view path) override;

 private:
  const Device& device_;
};

}  // namespace brevalo
