#include "device/com_runtime.h"

#include <cstdio>

#include "device/code_page.h"
#include "device/phone_library_device.h"

namespace brevalo {
namespace {

std::string ClassText(const CLSID& clsid) { return "class " + ToUtf8(FormatGuid(clsid)); }

std::u16string ServerKey(const CLSID& clsid) {
  return u"CLSID\\" + FormatGuid(clsid) + u"\\InprocServer32";
}

}  // namespace

ComRuntime::ComRuntime(const Device& device, Registry& registry, std::u16string_view programFolder)
    : device_(device), registry_(registry), loader_(device, programFolder) {}

ComRuntime::~ComRuntime() {
  for (auto& [clsid, factory] : classObjects_) factory->Release();
  classObjects_.clear();
  CoFreeUnusedLibraries();
  for (auto& [id, server] : servers_) loader_.Pin(server.module);
}

HRESULT ComRuntime::Fail(HRESULT code, std::string why) {
  lastError_ = std::move(why);
  return code;
}

std::optional<std::u16string> ComRuntime::ServerName(const CLSID& clsid) const {
  return registry_.QueryString(RegRoot::ClassesRoot, ServerKey(clsid), u"");
}

const ComRuntime::Server* ComRuntime::ServerFor(const CLSID& clsid, HRESULT* failure) {
  std::optional<std::u16string> name = ServerName(clsid);
  if (!name) {
    *failure = Fail(REGDB_E_CLASSNOTREG, ClassText(clsid) + " is not registered");
    return nullptr;
  }
  if (name->empty()) {
    *failure = Fail(CO_E_DLLNOTFOUND, ClassText(clsid) + " names no server library");
    return nullptr;
  }
  // Read at each activation: an installer may extend the path while this process runs.
  loader_.SetSystemPath(ReadSystemPath(registry_));
  ModuleHandle module = loader_.Load(*name);
  if (!module) {
    *failure = Fail(CO_E_DLLNOTFOUND, ClassText(clsid) + ": " + loader_.LastError());
    return nullptr;
  }
  if (auto known = servers_.find(module.id); known != servers_.end()) {
    loader_.Unload(module);  // the runtime holds each library once
    return &known->second;
  }
  Server server;
  server.module = module;
  server.getClassObject = loader_.SymbolAs<DllGetClassObjectFunction>(module, kDllGetClassObject);
  if (server.getClassObject == nullptr) {
    std::string why = loader_.LastError();
    loader_.Unload(module);  // nothing of it can be in use yet
    *failure = Fail(CO_E_ERRORINDLL, ClassText(clsid) + ": " + why);
    return nullptr;
  }
  // Optional: a server without it is simply never unloaded.
  server.canUnloadNow = loader_.SymbolAs<DllCanUnloadNowFunction>(module, kDllCanUnloadNow);
  if (auto setDevice = loader_.SymbolAs<SetDeviceFolderFunction>(module, kSetDeviceFolder)) {
    setDevice(device_.Dir().c_str());
  }
  return &servers_.emplace(module.id, server).first->second;
}

HRESULT ComRuntime::CoGetClassObject(const CLSID& clsid, const IID& iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  std::unique_lock lock(mutex_);
  if (auto provided = classObjects_.find(clsid); provided != classObjects_.end()) {
    // Asked outside the lock: a device class may well activate others while answering.
    IClassFactory* factory = provided->second;
    factory->AddRef();
    lock.unlock();
    HRESULT hr = factory->QueryInterface(iid, object);
    factory->Release();
    if (FAILED(hr)) *object = nullptr;
    return hr;
  }
  HRESULT failure = E_FAIL;
  const Server* server = ServerFor(clsid, &failure);
  if (server == nullptr) return failure;
  HRESULT hr = server->getClassObject(clsid, iid, object);
  if (FAILED(hr)) {
    *object = nullptr;  // a server may leave anything there on failure
    return Fail(hr, ClassText(clsid) + ": " + ToUtf8(loader_.DevicePathOf(server->module)) +
                        " answered " + HresultText(hr));
  }
  if (*object == nullptr) {
    return Fail(E_UNEXPECTED, ClassText(clsid) + ": " +
                                  ToUtf8(loader_.DevicePathOf(server->module)) +
                                  " reported success without an object");
  }
  return hr;
}

HRESULT ComRuntime::CoCreateInstance(const CLSID& clsid, IUnknown* outer, uint32_t context,
                                     const IID& iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if ((context & CLSCTX_INPROC_SERVER) == 0) {
    std::lock_guard lock(mutex_);
    return Fail(REGDB_E_CLASSNOTREG, ClassText(clsid) + ": only in-process servers exist here");
  }
  void* factoryObject = nullptr;
  HRESULT hr = CoGetClassObject(clsid, IID_IClassFactory, &factoryObject);
  if (FAILED(hr)) return hr;
  auto* factory = static_cast<IClassFactory*>(factoryObject);
  hr = factory->CreateInstance(outer, iid, object);
  factory->Release();
  std::lock_guard lock(mutex_);
  if (FAILED(hr)) {
    *object = nullptr;
    return Fail(hr, ClassText(clsid) + ": the class factory answered " + HresultText(hr));
  }
  if (*object == nullptr) {
    return Fail(E_UNEXPECTED, ClassText(clsid) + ": the class factory reported success without "
                                                 "an object");
  }
  return hr;
}

size_t ComRuntime::CoFreeUnusedLibraries() {
  std::lock_guard lock(mutex_);
  size_t unloaded = 0;
  for (auto it = servers_.begin(); it != servers_.end();) {
    const Server& server = it->second;
    if (server.canUnloadNow != nullptr && server.canUnloadNow() == S_OK) {
      loader_.Unload(server.module);
      it = servers_.erase(it);
      ++unloaded;
    } else {
      ++it;
    }
  }
  return unloaded;
}

HRESULT ComRuntime::RegisterClassObject(const CLSID& clsid, IClassFactory* factory) {
  std::lock_guard lock(mutex_);
  if (factory == nullptr) return Fail(E_INVALIDARG, ClassText(clsid) + ": no class object given");
  if (!classObjects_.emplace(clsid, factory).second) {
    return Fail(E_INVALIDARG, ClassText(clsid) + " is provided already");
  }
  factory->AddRef();
  return S_OK;
}

HRESULT ComRuntime::RevokeClassObject(const CLSID& clsid) {
  IClassFactory* factory = nullptr;
  {
    std::lock_guard lock(mutex_);
    auto it = classObjects_.find(clsid);
    if (it == classObjects_.end()) {
      return Fail(E_INVALIDARG, ClassText(clsid) + " is not provided by the device");
    }
    factory = it->second;
    classObjects_.erase(it);
  }
  factory->Release();  // outside the lock: its last release may run anything
  return S_OK;
}

std::vector<std::u16string> ComRuntime::LoadedServers() const {
  std::lock_guard lock(mutex_);
  std::vector<std::u16string> paths;
  for (const auto& [id, server] : servers_) paths.push_back(loader_.DevicePathOf(server.module));
  return paths;
}

std::string ComRuntime::LastError() const {
  std::lock_guard lock(mutex_);
  return lastError_;
}

}  // namespace brevalo
