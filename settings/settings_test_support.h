// Test helpers of the settings: a registry file in a fresh temporary folder, and a device file
// system held in memory whose folders list their entries in the order the test gives.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "device/registry.h"
#include "settings/device_files.h"

namespace brevalo {

class TempRegistry {
 public:
  TempRegistry() {
    char pattern[] = "/tmp/settings-XXXXXX";
    dir_ = mkdtemp(pattern);
    Reopen();
  }
  ~TempRegistry() {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }
  TempRegistry(const TempRegistry&) = delete;
  TempRegistry& operator=(const TempRegistry&) = delete;

  // A new Registry object over the same file, as the next start of the program would have.
  Registry& Reopen() {
    registry_ = std::make_unique<Registry>(File());
    registry_->Load();
    return *registry_;
  }
  Registry& operator*() { return *registry_; }
  Registry* operator->() { return registry_.get(); }
  std::filesystem::path Dir() const { return dir_; }
  std::filesystem::path File() const { return dir_ / "registry.reg"; }

 private:
  std::filesystem::path dir_;
  std::unique_ptr<Registry> registry_;
};

class FakeDeviceFiles : public DeviceFiles {
 public:
  std::optional<std::vector<DeviceFileEntry>> List(std::u16string_view folder) override {
    listed.emplace_back(folder);
    auto found = folders.find(std::u16string(folder));
    if (found == folders.end()) return std::nullopt;
    return found->second;
  }
  bool FileExists(std::u16string_view path) override {
    for (const std::u16string& file : files) {
      if (file == path) return true;
    }
    return false;
  }

  std::map<std::u16string, std::vector<DeviceFileEntry>> folders;  // keyed with the backslash
  std::vector<std::u16string> files;
  std::vector<std::u16string> listed;
};

}  // namespace brevalo
