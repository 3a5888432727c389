// One emulated device is one folder (see README): the registry file, the device file system
// under fs/, the phone's own data under phone/, sockets under run/, the event log under log/.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace brevalo {

class Device {
 public:
  // The device folder: the --device value when given, else $VELMORA_DEVICE, else
  // ~/.local/share/velmora/device.
  static std::filesystem::path ResolveDir(std::string_view flagValue);

  explicit Device(std::filesystem::path dir);

  const std::filesystem::path& Dir() const { return dir_; }
  std::filesystem::path RegistryFile() const { return dir_ / "registry.reg"; }
  std::filesystem::path FsRoot() const { return dir_ / "fs"; }
  std::filesystem::path PhoneDir() const { return dir_ / "phone"; }
  std::filesystem::path RunDir() const { return dir_ / "run"; }
  std::filesystem::path LogDir() const { return dir_ / "log"; }

  // Maps an absolute device path ("\My Documents\sms.kvt") to a host path under FsRoot(),
  // matching each component that exists case-insensitively; components that do not exist keep
  // their spelling. Nothing for paths that are not absolute or would leave FsRoot() ("..",
  // "/", NUL, drive letters).
  std::optional<std::filesystem::path> HostPath(std::u16string_view devicePath) const;
  // The device path of a host path under FsRoot(); nothing for paths outside it.
  std::optional<std::u16string> DevicePath(const std::filesystem::path& hostPath) const;

 private:
  std::filesystem::path dir_;
};

}  // namespace brevalo
