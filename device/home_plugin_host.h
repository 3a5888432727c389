// The home screen's side of its plug-ins: the registered class is looked up whenever the home
// screen draws, so a plug-in shows from the moment it is registered and goes when its class key
// does. Its library is mapped on first use and kept while the registration names it.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "device/device_paths.h"
#include "device/module_loader.h"
#include "device/registry.h"

namespace brevalo {

class HomePluginHost {
 public:
  // `classId` in braces. The device must outlive the host.
  HomePluginHost(const Device& device, std::u16string_view classId);

  // The plug-in's line; nothing while the class is not registered, its library cannot be
  // mapped, or it has nothing to show.
  std::optional<std::u16string> Line();
  // Action on the line; false when there is no plug-in or it did nothing.
  bool Action();

 private:
  // The mapped library of the registered class, mapping it when the registration changed.
  ModuleHandle Registered();

  const Device& device_;
  std::u16string classId_;
  Registry registry_;
  ModuleLoader loader_;
  std::u16string loadedPath_;
  ModuleHandle module_;
};

}  // namespace brevalo
