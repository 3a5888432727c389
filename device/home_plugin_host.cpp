#include "device/home_plugin_host.h"

#include <filesystem>

#include "device/home_plugin.h"
#include "device/phone_library_device.h"

namespace brevalo {

HomePluginHost::HomePluginHost(const Device& device, std::u16string_view classId)
    : device_(device), classId_(classId), registry_(device.RegistryFile()), loader_(device, u"") {}

ModuleHandle HomePluginHost::Registered() {
  registry_.Load();
  const std::u16string key = u"CLSID\\" + classId_;
  std::optional<std::u16string> server;
  if (registry_.KeyExists(RegRoot::ClassesRoot, key)) {
    server = registry_.QueryString(RegRoot::ClassesRoot, key + u"\\InprocServer32", u"");
  }
  if (!server || server->empty()) return {};
  if (module_ && *server == loadedPath_) return module_;
  if (module_) loader_.Unload(module_);
  module_ = loader_.Load(*server);
  loadedPath_ = *server;
  if (module_) {
    if (auto setDevice = loader_.SymbolAs<SetDeviceFolderFunction>(module_, kSetDeviceFolder)) {
      std::error_code code;
      setDevice(std::filesystem::absolute(device_.Dir(), code).c_str());
    }
  }
  return module_;
}

std::optional<std::u16string> HomePluginHost::Line() {
  ModuleHandle module = Registered();
  if (!module) return std::nullopt;
  auto line = loader_.SymbolAs<HomePluginLineFunction>(module, kHomePluginLine);
  if (!line) return std::nullopt;
  char16_t buffer[kHomePluginLineCapacity] = {};
  const int length = line(buffer, kHomePluginLineCapacity);
  if (length <= 0 || length > kHomePluginLineCapacity) return std::nullopt;
  return std::u16string(buffer, static_cast<size_t>(length));
}

bool HomePluginHost::Action() {
  ModuleHandle module = Registered();
  if (!module) return false;
  auto action = loader_.SymbolAs<HomePluginActionFunction>(module, kHomePluginAction);
  return action && action() != 0;
}

}  // namespace brevalo
