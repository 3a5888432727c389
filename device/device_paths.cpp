#include "device/device_paths.h"

#include <cstdlib>
#include <system_error>

#include "device/code_page.h"
#include "device/text_case.h"

namespace brevalo {
namespace fs = std::filesystem;

namespace {

// A component that the host would read as something other than one name inside its folder.
bool IsSafeComponent(std::u16string_view part) {
  if (part == u"." || part == u"..") return false;
  for (char16_t c : part) {
    if (c == u'\0' || c == u'/' || c == u':') return false;
  }
  return true;
}

// The entry of folder whose name matches part case-insensitively; the exact spelling wins.
std::optional<fs::path> FindEntry(const fs::path& folder, std::u16string_view part) {
  std::error_code error;
  fs::path exact = folder / ToUtf8(part);
  if (fs::exists(fs::symlink_status(exact, error))) return exact;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    if (EqualsIgnoreCase(FromUtf8(it->path().filename().string()), part)) return it->path();
  }
  return std::nullopt;
}

}  // namespace

fs::path Device::ResolveDir(std::string_view flagValue) {
  if (!flagValue.empty()) return fs::path(std::string(flagValue));
  if (const char* env = std::getenv("VELMORA_DEVICE"); env != nullptr && *env != '\0') {
    return fs::path(env);
  }
  const char* home = std::getenv("HOME");
  return fs::path(home != nullptr ? home : ".") / ".local/share/velmora/device";
}

Device::Device(fs::path dir) : dir_(std::move(dir)) {}

std::optional<fs::path> Device::HostPath(std::u16string_view devicePath) const {
  if (devicePath.empty() || devicePath.front() != u'\\') return std::nullopt;
  fs::path host = FsRoot();
  bool matching = true;  // once a component is missing, nothing below it can exist
  size_t start = 1;
  while (start <= devicePath.size()) {
    size_t end = devicePath.find(u'\\', start);
    if (end == std::u16string_view::npos) end = devicePath.size();
    std::u16string_view part = devicePath.substr(start, end - start);
    start = end + 1;
    if (part.empty()) continue;
    if (!IsSafeComponent(part)) return std::nullopt;
    std::optional<fs::path> found = matching ? FindEntry(host, part) : std::nullopt;
    matching = found.has_value();
    host = found ? *found : host / ToUtf8(part);
  }
  return host;
}

std::optional<std::u16string> Device::DevicePath(const fs::path& hostPath) const {
  fs::path relative = hostPath.lexically_normal().lexically_relative(FsRoot().lexically_normal());
  if (relative.empty()) return std::nullopt;
  std::u16string device;
  for (const fs::path& part : relative) {
    std::string name = part.string();
    if (name == "..") return std::nullopt;
    if (name == "." || name.empty()) continue;
    device += u'\\';
    device += FromUtf8(name);
  }
  return device.empty() ? std::u16string(u"\\") : device;
}

}  // namespace brevalo
