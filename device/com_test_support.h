// Helpers of the COM and module tests: putting the test libraries on a throw-away device and
// asking the host's dynamic linker whether a file is mapped in this process.
#pragma once

#include <dlfcn.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "device/device_paths.h"

namespace brevalo::testing {

// Copies a host file to fs/ under `relative` ("Windows/sms.dll"), creating its folders; the
// host path of the copy, empty when copying failed.
inline std::filesystem::path InstallFile(const Device& device, const std::filesystem::path& from,
                                         const std::filesystem::path& relative) {
  std::filesystem::path to = device.FsRoot() / relative;
  std::error_code error;
  std::filesystem::create_directories(to.parent_path(), error);
  std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing, error);
  return error ? std::filesystem::path() : to;
}

inline std::filesystem::path WriteFile(const Device& device, const std::filesystem::path& relative,
                                       const std::string& bytes) {
  std::filesystem::path to = device.FsRoot() / relative;
  std::error_code error;
  std::filesystem::create_directories(to.parent_path(), error);
  std::ofstream(to, std::ios::binary) << bytes;
  return to;
}

// True while the file is mapped; asking does not keep it mapped.
inline bool IsMapped(const std::filesystem::path& host) {
  std::error_code error;
  std::filesystem::path canonical = std::filesystem::canonical(host, error);
  if (error) return false;
  void* handle = dlopen(canonical.c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (handle == nullptr) return false;
  dlclose(handle);
  return true;
}

}  // namespace brevalo::testing
