// The home screen's side of its plug-in: whenever the home screen draws, the descriptions in the
// home folder are read in name order and the first whose class is registered is the plug-in, so
// a plug-in shows from the moment it is set up and goes when its description or its class key
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
  // The device must outlive the host.
  explicit HomePluginHost(const Device& device);

  // The plug-in's line; nothing while no plug-in is set up, its library cannot be mapped, or it
  // has nothing to show.
  std::optional<std::u16string> Line();
  // Action on the line; false when there is no plug-in or it did nothing.
  bool Action();

 private:
  // The library the registered class's server names, or nothing.
  std::optional<std::u16string> RegisteredServer();
  // The mapped library of the plug-in, mapping it when the registration changed.
  ModuleHandle Registered();

  const Device& device_;
  Registry registry_;
  ModuleLoader loader_;
  std::u16string loadedPath_;
  ModuleHandle module_;
};

}  // namespace brevalo
