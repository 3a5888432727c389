#include "settings/host_device_files.h"

#include <filesystem>
#include <system_error>

#include "device/code_page.h"

namespace brevalo {
namespace fs = std::filesystem;

std::optional<std::vector<DeviceFileEntry>> HostDeviceFiles::List(std::u16string_view folder) {
  std::optional<fs::path> host = device_.HostPath(folder);
  if (!host) return std::nullopt;
  std::error_code error;
  fs::directory_iterator it(*host, error);
  if (error) return std::nullopt;
  std::vector<DeviceFileEntry> entries;
  // The directory's own order is the file system's order, which the random ring keeps.
  while (it != fs::directory_iterator()) {
    std::error_code kindError;
    const bool isFile = it->is_regular_file(kindError) && !kindError;
    entries.push_back({FromUtf8(it->path().filename().string()), isFile});
    it.increment(error);
    if (error) break;
  }
  return entries;
}

bool HostDeviceFiles::FileExists(std::u16string_view path) {
  std::optional<fs::path> host = device_.HostPath(path);
  if (!host) return false;
  std::error_code error;
  return fs::is_regular_file(*host, error) && !error;
}

}  // namespace brevalo
