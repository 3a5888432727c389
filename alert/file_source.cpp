#include "alert/file_source.h"

#include <fstream>
#include <iterator>
#include <system_error>

namespace brevalo {

std::optional<std::string> DeviceFileSource::Read(std::u16string_view devicePath) {
  std::optional<std::filesystem::path> host = device_.HostPath(devicePath);
  if (!host) return std::nullopt;
  std::error_code error;
  if (!std::filesystem::is_regular_file(*host, error) || error) return std::nullopt;
  std::uintmax_t size = std::filesystem::file_size(*host, error);
  if (error || size > kAlertFileMaxBytes) return std::nullopt;
  std::ifstream in(*host, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

}  // namespace brevalo
