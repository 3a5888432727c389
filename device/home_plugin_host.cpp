#include "device/home_plugin_host.h"

#include <algorithm>
#include <filesystem>
#include <vector>

#include "device/device_file.h"
#include "device/device_folder.h"
#include "device/guid.h"
#include "device/home_plugin.h"
#include "device/phone_library_device.h"
#include "device/text_case.h"

namespace brevalo {
namespace {

// Descriptions are a few lines; a larger file is not read.
constexpr size_t kLargestDescription = 64 * 1024;

bool IsDescriptionName(std::u16string_view name) {
  return name.size() > kHomeFileSuffix.size() &&
         EqualsIgnoreCase(name.substr(name.size() - kHomeFileSuffix.size()), kHomeFileSuffix);
}

}  // namespace

std::optional<std::u16string> HomePluginClassOf(std::string_view description) {
  constexpr std::string_view kAttribute = "clsid=\"";
  size_t at = description.find(kAttribute);
  if (at == std::string_view::npos) return std::nullopt;
  at += kAttribute.size();
  size_t end = description.find('"', at);
  if (end == std::string_view::npos) return std::nullopt;
  std::string_view text = description.substr(at, end - at);
  std::optional<GUID> guid = ParseGuid(std::u16string(text.begin(), text.end()));
  if (!guid) return std::nullopt;
  return FormatGuid(*guid);
}

HomePluginHost::HomePluginHost(const Device& device)
    : device_(device), registry_(device.RegistryFile()), loader_(device, u"") {}

std::optional<std::u16string> HomePluginHost::RegisteredServer() {
  std::vector<DeviceFolderEntry> entries = ListDeviceFolder(device_, kHomeFolder).value_or(std::vector<DeviceFolderEntry>{});
  std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
  registry_.Load();
  for (const DeviceFolderEntry& entry : entries) {
    if (entry.isFolder || !IsDescriptionName(entry.name) || entry.size > kLargestDescription) continue;
    DeviceFileContents contents = ReadDeviceFile(device_, std::u16string(kHomeFolder) + entry.name);
    if (contents.state != DeviceFileState::kRead) continue;
    std::optional<std::u16string> classId = HomePluginClassOf(contents.bytes);
    if (!classId) continue;
    const std::u16string key = u"CLSID\\" + *classId;
    if (!registry_.KeyExists(RegRoot::ClassesRoot, key)) continue;
    std::optional<std::u16string> server = registry_.QueryString(RegRoot::ClassesRoot, key + u"\\InprocServer32", u"");
    if (server && !server->empty()) return server;
  }
  return std::nullopt;
}

ModuleHandle HomePluginHost::Registered() {
  std::optional<std::u16string> server = RegisteredServer();
  if (!server) return {};
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
