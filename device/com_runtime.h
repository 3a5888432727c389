// In-process COM activation on the device. A class is found under
// HKEY_CLASSES_ROOT\CLSID\{...}\InprocServer32, whose default value names the server library
// (a device path, or a bare file name looked for like any module: the program folder,
// \Windows\, then the loader's system path); the library is mapped once and asked for the class through its exported
// DllGetClassObject. A server that exports BrevaloSetDeviceFolder is told the runtime's device
// when it is mapped, so that a device library works on the device of the process using it. Classes the device itself provides can be registered in the runtime
// instead. One runtime per process that activates objects; safe to use from several threads,
// but a server must not call back into the runtime from DllGetClassObject or DllCanUnloadNow.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "device/com_server.h"
#include "device/device_paths.h"
#include "device/guid.h"
#include "device/hresult.h"
#include "device/module_loader.h"
#include "device/registry.h"
#include "device/unknown.h"

namespace brevalo {

class ComRuntime {
 public:
  // The device and registry must outlive the runtime.
  ComRuntime(const Device& device, Registry& registry, std::u16string_view programFolder = u"");
  // Releases the registered class objects and unloads the servers that agree to it; a server
  // that still refuses stays mapped for the rest of the process, because objects it made may
  // still be in use.
  ~ComRuntime();
  ComRuntime(const ComRuntime&) = delete;
  ComRuntime& operator=(const ComRuntime&) = delete;

  // The class object of `clsid` as `iid`. REGDB_E_CLASSNOTREG when no such class is
  // registered, CO_E_DLLNOTFOUND when its library is missing or cannot be mapped,
  // CO_E_ERRORINDLL when it exports no DllGetClassObject, else what the server answers.
  // *object is nullptr after every failure.
  HRESULT CoGetClassObject(const CLSID& clsid, const IID& iid, void** object);

  // A new object of `clsid` as `iid`, made by its class factory. `context` must allow an
  // in-process server (CLSCTX_INPROC_SERVER), else REGDB_E_CLASSNOTREG.
  HRESULT CoCreateInstance(const CLSID& clsid, IUnknown* outer, uint32_t context, const IID& iid,
                           void** object);

  // Asks every loaded server's DllCanUnloadNow and unloads those that answer S_OK; a server
  // without that export stays. Returns how many were unloaded.
  size_t CoFreeUnusedLibraries();

  // A class provided by the device itself, found before the registry. The runtime keeps one
  // reference to the factory until RevokeClassObject or its own end. E_INVALIDARG when the
  // class is registered already or the factory is null.
  HRESULT RegisterClassObject(const CLSID& clsid, IClassFactory* factory);
  HRESULT RevokeClassObject(const CLSID& clsid);

  // The InprocServer32 value registered for the class, as written.
  std::optional<std::u16string> ServerName(const CLSID& clsid) const;
  // Device paths of the servers mapped now, one per library.
  std::vector<std::u16string> LoadedServers() const;
  // Why the most recent failed activation failed, naming the class and library.
  std::string LastError() const;

 private:
  struct Server {
    ModuleHandle module;
    DllGetClassObjectFunction getClassObject = nullptr;
    DllCanUnloadNowFunction canUnloadNow = nullptr;
  };

  const Server* ServerFor(const CLSID& clsid, HRESULT* failure);
  HRESULT Fail(HRESULT code, std::string why);

  const Device& device_;
  Registry& registry_;
  mutable std::mutex mutex_;
  ModuleLoader loader_;
  std::map<uint32_t, Server> servers_;  // by module id: one entry per mapped library
  std::map<CLSID, IClassFactory*> classObjects_;
  std::string lastError_;
};

}  // namespace brevalo
