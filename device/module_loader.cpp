#include "device/module_loader.h"

#include <dlfcn.h>

#include <algorithm>

#include <system_error>

#include "device/code_page.h"
#include "device/text_case.h"

namespace brevalo {
namespace fs = std::filesystem;

namespace {

std::u16string WithTrailingBackslash(std::u16string_view folder) {
  std::u16string result(folder);
  if (!result.empty() && result.back() != u'\\') result += u'\\';
  return result;
}

bool IsFile(const fs::path& host) {
  std::error_code error;
  return fs::is_regular_file(host, error);
}

}  // namespace

std::vector<std::u16string> ReadSystemPath(Registry& registry) {
  std::vector<std::u16string> folders;
  std::optional<std::u16string> value =
      registry.QueryString(RegRoot::LocalMachine, kLoaderKey, kSystemPathValue);
  if (!value) return folders;
  size_t start = 0;
  while (start <= value->size()) {
    size_t end = std::min(value->find(u';', start), value->size());
    std::u16string folder = value->substr(start, end - start);
    start = end + 1;
    while (!folder.empty() && folder.back() == u' ') folder.pop_back();
    while (!folder.empty() && folder.front() == u' ') folder.erase(0, 1);
    if (folder.empty() || folder.front() != u'\\') continue;
    folders.push_back(WithTrailingBackslash(folder));
  }
  return folders;
}

bool AddToSystemPath(Registry& registry, std::u16string_view folder) {
  std::u16string wanted = WithTrailingBackslash(folder);
  std::vector<std::u16string> folders = ReadSystemPath(registry);
  for (const std::u16string& known : folders) {
    if (EqualsIgnoreCase(known, wanted)) return true;
  }
  folders.push_back(wanted);
  std::u16string value;
  for (const std::u16string& known : folders) value += (value.empty() ? u"" : u";") + known;
  return registry.SetString(RegRoot::LocalMachine, kLoaderKey, kSystemPathValue, value);
}

ModuleLoader::ModuleLoader(const Device& device, std::u16string_view programFolder)
    : device_(device), programFolder_(WithTrailingBackslash(programFolder)) {}

ModuleLoader::~ModuleLoader() {
  for (auto& [id, library] : libraries_) {
    if (!library.pinned) dlclose(library.native);
  }
}

void ModuleLoader::SetSystemPath(std::vector<std::u16string> folders) {
  std::lock_guard lock(mutex_);
  systemPath_ = std::move(folders);
}

std::optional<std::u16string> ModuleLoader::Locate(std::u16string_view name) const {
  std::lock_guard lock(mutex_);
  return LocateLocked(name);
}

std::optional<std::u16string> ModuleLoader::LocateLocked(std::u16string_view name) const {
  if (name.empty()) return std::nullopt;
  auto exists = [&](const std::u16string& devicePath) {
    std::optional<fs::path> host = device_.HostPath(devicePath);
    return host.has_value() && IsFile(*host);
  };
  if (name.find(u'\\') != std::u16string_view::npos) {
    std::u16string given(name);
    if (exists(given)) return given;
    return std::nullopt;
  }
  std::vector<std::u16string> folders{programFolder_, std::u16string(kWindowsFolder)};
  folders.insert(folders.end(), systemPath_.begin(), systemPath_.end());
  for (const std::u16string& folder : folders) {
    if (folder.empty()) continue;
    std::u16string candidate = folder + std::u16string(name);
    if (exists(candidate)) return candidate;
  }
  return std::nullopt;
}

ModuleHandle ModuleLoader::Load(std::u16string_view name) {
  std::lock_guard lock(mutex_);
  std::optional<std::u16string> devicePath = LocateLocked(name);
  if (!devicePath) {
    std::string where = name.find(u'\\') != std::u16string_view::npos
                            ? std::string()
                            : " in " + (programFolder_.empty() ? std::string()
                                                               : ToUtf8(programFolder_) + ", ") +
                                  ToUtf8(kWindowsFolder) +
                                  (systemPath_.empty() ? std::string() : " or the system path");
    Fail("module " + ToUtf8(name) + " not found" + where);
    return {};
  }
  std::optional<fs::path> host = device_.HostPath(*devicePath);
  std::error_code error;
  fs::path canonical = host ? fs::canonical(*host, error) : fs::path();
  if (!host || error) {
    Fail("module " + ToUtf8(*devicePath) + " cannot be resolved");
    return {};
  }
  for (auto& [id, library] : libraries_) {
    if (library.hostPath == canonical) {
      ++library.uses;
      return ModuleHandle{id};
    }
  }
  // RTLD_NOW: a library with an unresolved import fails here, not at its first call.
  // RTLD_LOCAL: two libraries exporting the same entry point names never see each other's.
  dlerror();
  void* native = dlopen(canonical.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (native == nullptr) {
    const char* why = dlerror();
    Fail("module " + ToUtf8(*devicePath) + " cannot be loaded: " + (why ? why : "unknown error"));
    return {};
  }
  uint32_t id = nextId_++;
  libraries_[id] = Library{canonical, *devicePath, native, 1, false};
  return ModuleHandle{id};
}

void* ModuleLoader::Symbol(ModuleHandle module, const char* name) {
  std::lock_guard lock(mutex_);
  auto it = libraries_.find(module.id);
  if (it == libraries_.end()) {
    Fail(std::string("entry point ") + (name ? name : "") + " asked of a module not loaded");
    return nullptr;
  }
  if (name == nullptr || *name == '\0') {
    Fail("entry point without a name asked of " + ToUtf8(it->second.devicePath));
    return nullptr;
  }
  dlerror();
  void* address = dlsym(it->second.native, name);
  if (address == nullptr) {
    Fail(std::string("entry point ") + name + " not found in " + ToUtf8(it->second.devicePath));
  }
  return address;
}

bool ModuleLoader::Unload(ModuleHandle module) {
  std::lock_guard lock(mutex_);
  auto it = libraries_.find(module.id);
  if (it == libraries_.end()) {
    Fail("unload of a module not loaded");
    return false;
  }
  if (--it->second.uses > 0) return true;
  if (!it->second.pinned) dlclose(it->second.native);
  libraries_.erase(it);
  return true;
}

bool ModuleLoader::Pin(ModuleHandle module) {
  std::lock_guard lock(mutex_);
  auto it = libraries_.find(module.id);
  if (it == libraries_.end()) {
    Fail("pin of a module not loaded");
    return false;
  }
  it->second.pinned = true;
  return true;
}

std::u16string ModuleLoader::DevicePathOf(ModuleHandle module) const {
  std::lock_guard lock(mutex_);
  auto it = libraries_.find(module.id);
  return it == libraries_.end() ? std::u16string() : it->second.devicePath;
}

bool ModuleLoader::IsLoaded(ModuleHandle module) const {
  std::lock_guard lock(mutex_);
  return libraries_.count(module.id) != 0;
}

std::string ModuleLoader::LastError() const {
  std::lock_guard lock(mutex_);
  return lastError_;
}

void ModuleLoader::Fail(std::string why) { lastError_ = std::move(why); }

}  // namespace brevalo
