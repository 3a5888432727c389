#include "tools/phonesim/phonesim_alert_samples.h"

#include <fstream>
#include <system_error>

#include "alert/alert_samples.h"
#include "device/utf8_codec.h"

namespace brevalo {

bool InstallAlertSamples(const Device& device, std::u16string_view programFolder,
                         std::vector<std::u16string>* written, std::string* error) {
  for (const SampleFile& sample : AlertSampleFiles()) {
    std::u16string path = std::u16string(programFolder) + sample.path;
    std::optional<std::filesystem::path> host = device.HostPath(path);
    std::error_code code;
    if (host) std::filesystem::create_directories(host->parent_path(), code);
    if (!host || code) {
      *error = Utf16ToUtf8(path, 0xFFFD) + ": cannot make its folder";
      return false;
    }
    std::ofstream out(*host, std::ios::binary | std::ios::trunc);
    out.write(sample.bytes.data(), static_cast<std::streamsize>(sample.bytes.size()));
    if (!out.flush()) {
      *error = host->string() + ": cannot write";
      return false;
    }
    written->push_back(std::move(path));
  }
  return true;
}

}  // namespace brevalo
