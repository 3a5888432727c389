#include "device/device_folder.h"

#include <filesystem>
#include <system_error>

#include "device/code_page.h"

namespace brevalo {
namespace fs = std::filesystem;

namespace {

// The host path of a device path when it resolves, through any links on the way, to a place
// inside the device's file system.
std::optional<fs::path> InsideHostPath(const Device& device, std::u16string_view devicePath) {
  std::optional<fs::path> host = device.HostPath(devicePath);
  if (!host) return std::nullopt;
  std::error_code error;
  fs::path real = fs::weakly_canonical(*host, error);
  if (error) return std::nullopt;
  fs::path root = fs::weakly_canonical(device.FsRoot(), error);
  if (error) return std::nullopt;
  fs::path relative = real.lexically_relative(root);
  if (relative.empty() || *relative.begin() == "..") return std::nullopt;
  return real;
}

fs::file_status StatusOf(const fs::path& path) {
  std::error_code error;
  return fs::status(path, error);
}

}  // namespace

std::optional<std::vector<DeviceFolderEntry>> ListDeviceFolder(const Device& device,
                                                               std::u16string_view folder) {
  std::optional<fs::path> host = InsideHostPath(device, folder);
  if (!host || !fs::is_directory(StatusOf(*host))) return std::nullopt;
  std::error_code error;
  fs::directory_iterator it(*host, error);
  if (error) return std::nullopt;
  std::vector<DeviceFolderEntry> entries;
  for (; it != fs::directory_iterator(); it.increment(error)) {
    std::error_code kindError;
    fs::file_status status = it->symlink_status(kindError);
    if (kindError || fs::is_symlink(status)) continue;
    DeviceFolderEntry entry{FromUtf8(it->path().filename().string()), fs::is_directory(status), 0};
    if (fs::is_regular_file(status)) {
      uint64_t size = it->file_size(kindError);
      entry.size = kindError ? 0 : size;
    } else if (!entry.isFolder) {
      continue;  // sockets, pipes and devices are nothing a user opens
    }
    entries.push_back(std::move(entry));
  }
  if (error) return std::nullopt;
  return entries;
}

bool DeviceFolderExists(const Device& device, std::u16string_view folder) {
  std::optional<fs::path> host = InsideHostPath(device, folder);
  return host && fs::is_directory(StatusOf(*host));
}

std::optional<std::u16string> ExistingFolderPath(const Device& device, std::u16string_view folder) {
  std::optional<fs::path> host = InsideHostPath(device, folder);
  if (!host || !fs::is_directory(StatusOf(*host))) return std::nullopt;
  std::error_code error;
  fs::path root = fs::weakly_canonical(device.FsRoot(), error);
  if (error) return std::nullopt;
  fs::path relative = host->lexically_relative(root);
  return relative == "." ? std::u16string(u"\\") : device.DevicePath(root / relative);
}

bool DeviceFileExists(const Device& device, std::u16string_view path) {
  std::optional<fs::path> host = InsideHostPath(device, path);
  return host && fs::is_regular_file(StatusOf(*host));
}

}  // namespace brevalo
