// Where the alerts read their files from (skins, photos): whole files by device path. The
// program reads the device's file system; tests count and fake the reads.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "device/device_paths.h"

namespace brevalo {

// Files larger than this are not read: no skin, photo or sound comes near it.
inline constexpr size_t kAlertFileMaxBytes = 16 * 1024 * 1024;

class FileSource {
 public:
  virtual ~FileSource() = default;
  // The whole file, or nothing when it cannot be opened for reading (which is what "the file
  // exists" means to the alerts). Called from any thread.
  virtual std::optional<std::string> Read(std::u16string_view devicePath) = 0;
};

class DeviceFileSource : public FileSource {
 public:
  // The device must outlive this object.
  explicit DeviceFileSource(const Device& device) : device_(device) {}
  std::optional<std::string> Read(std::u16string_view devicePath) override;

 private:
  const Device& device_;
};

}  // namespace brevalo
