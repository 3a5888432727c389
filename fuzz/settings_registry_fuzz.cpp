// Any bytes as the device's registry file, then the settings loaded from it. Besides surviving,
// loading must give fields that fit and values inside their ranges, and a save followed by a
// load must give back the very same record, so that nothing read from a damaged registry changes
// on its way through the next start.
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "device/registry.h"
#include "settings/settings.h"

namespace {

class NoFiles : public brevalo::DeviceFiles {
 public:
  std::optional<std::vector<brevalo::DeviceFileEntry>> List(std::u16string_view) override {
    return std::nullopt;
  }
  bool FileExists(std::u16string_view) override { return false; }
};

const std::filesystem::path& WorkFolder() {
  static const std::filesystem::path folder = [] {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "settings-fuzz-XXXXXX").string();
    const char* made = mkdtemp(pattern.data());
    if (!made) abort();
    return std::filesystem::path(made);
  }();
  return folder;
}

bool Fits(const brevalo::SettingText& text) { return text.Text().size() <= text.Capacity(); }

void CheckLoaded(const brevalo::Settings& settings) {
  for (const brevalo::SettingText* text :
       {&settings.LastDir, &settings.LastOpenFile, &settings.Sign, &settings.SentSkin,
        &settings.defaultPhoto, &settings.PhotoFolder, &settings.RndSoundPath,
        &settings.AlertSound}) {
    if (!Fits(*text)) abort();
  }
  if (settings.SaveDuration < 1 || settings.SaveDuration > brevalo::kLongestSaveDuration) abort();
  if (settings.ProtectLevel < 0 || settings.ProtectLevel > 2) abort();
  if (settings.UnReadAlert < 0 || settings.UnReadAlert > 3) abort();
  if (settings.AlertSecond < 1 || brevalo::SummaryLength() < 1) abort();
  if (settings.bindings.size() > 99) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace brevalo;
  const std::filesystem::path file = WorkFolder() / "registry.reg";
  {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  NoFiles files;
  Registry registry(file);
  if (!registry.Load()) return 0;
  Settings loaded(files);
  loaded.Load(registry);
  CheckLoaded(loaded);
  const int32_t summaryLength = SummaryLength();

  if (!loaded.Save(registry)) abort();
  Registry reopened(file);
  if (!reopened.Load()) abort();
  Settings again(files);
  if (!again.Load(reopened)) abort();
  if (static_cast<const SettingValues&>(again) != static_cast<const SettingValues&>(loaded)) {
    abort();
  }
  if (SummaryLength() != summaryLength) abort();
  return 0;
}
