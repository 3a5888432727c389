// Loads a phone library from the build tree for a test, pointed at a throw-away device.
#pragma once

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>

#include "device/kernel_test_support.h"
#include "device/registry.h"
#include "device/sms_library.h"

namespace brevalo::testing {

class LoadedLibrary {
 public:
  LoadedLibrary(const std::string& name, const TempDevice& device) {
    std::string path = std::string(BREVALO_LIB_DIR) + "/" + name + ".so";
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    EXPECT_NE(handle_, nullptr) << dlerror();
    if (auto setup = Bind<SetDeviceFolderFunction>(kSetDeviceFolder)) {
      setup(device.dir().c_str());
    }
  }
  ~LoadedLibrary() {
    if (handle_ != nullptr) dlclose(handle_);
  }
  LoadedLibrary(const LoadedLibrary&) = delete;
  LoadedLibrary& operator=(const LoadedLibrary&) = delete;

  template <typename Function>
  Function Bind(const char* name) const {
    if (handle_ == nullptr) return nullptr;
    auto function = reinterpret_cast<Function>(dlsym(handle_, name));
    EXPECT_NE(function, nullptr) << name;
    return function;
  }
  bool Exports(const char* name) const {
    return handle_ != nullptr && dlsym(handle_, name) != nullptr;
  }

 private:
  void* handle_ = nullptr;
};

// Switches a fault of the emulated network (see sms_library.h) while a sender runs.
inline void SetNetworkFault(const TempDevice& device, std::u16string_view name,
                            std::u16string_view value) {
  Registry registry(device.device().RegistryFile());
  ASSERT_TRUE(registry.Load());
  ASSERT_TRUE(registry.SetString(RegRoot::LocalMachine, u"Device\\Network", name, value));
}
inline void SetFailOpen(const TempDevice& device, uint32_t on) {
  Registry registry(device.device().RegistryFile());
  ASSERT_TRUE(registry.Load());
  ASSERT_TRUE(registry.SetDword(RegRoot::LocalMachine, u"Device\\Network", u"FailOpen", on));
}

}  // namespace brevalo::testing
