#include "device/device_file_copy.h"

#include <filesystem>
#include <system_error>

namespace brevalo {
namespace fs = std::filesystem;

bool CopyDeviceFile(const Device& device, std::u16string_view from, std::u16string_view to) {
  std::optional<fs::path> source = device.HostPath(from);
  std::optional<fs::path> target = device.HostPath(to);
  std::error_code code;
  if (!source || !target || !fs::is_regular_file(*source, code)) return false;
  if (!fs::is_directory(target->parent_path(), code) || fs::is_directory(*target, code)) return false;
  fs::path partial = *target;
  partial += ".partial";
  fs::copy_file(*source, partial, fs::copy_options::overwrite_existing, code);
  if (!code) fs::rename(partial, *target, code);
  if (code) {
    std::error_code ignored;
    fs::remove(partial, ignored);
    return false;
  }
  return true;
}

bool DeleteDeviceFile(const Device& device, std::u16string_view path) {
  std::optional<fs::path> host = device.HostPath(path);
  std::error_code code;
  if (!host) return false;
  fs::file_status status = fs::symlink_status(*host, code);
  if (status.type() == fs::file_type::not_found) return true;
  if (code || status.type() == fs::file_type::directory) return false;
  fs::remove(*host, code);
  return !code;
}

}  // namespace brevalo
