#include "device/device_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "device/file_replace.h"

namespace brevalo {
namespace fs = std::filesystem;

DeviceFileContents ReadDeviceFile(const Device& device, std::u16string_view path) {
  DeviceFileContents contents;
  contents.state = DeviceFileState::kUnreadable;
  std::optional<fs::path> host = device.HostPath(path);
  if (!host) return contents;
  int fd = open(host->c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT) contents.state = DeviceFileState::kMissing;
    return contents;
  }
  char buffer[16384];
  for (;;) {
    ssize_t got = read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      close(fd);
      contents.bytes.clear();
      return contents;
    }
    if (got == 0) break;
    contents.bytes.append(buffer, static_cast<size_t>(got));
  }
  close(fd);
  contents.state = DeviceFileState::kRead;
  return contents;
}

bool ReplaceDeviceFile(const Device& device, std::u16string_view path, std::string_view bytes) {
  std::optional<fs::path> host = device.HostPath(path);
  return host && ReplaceFileContents(*host, bytes);
}

}  // namespace brevalo
