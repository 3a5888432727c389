// The four functions the device looks up by name in corvane.dll.
#include <new>

#include "corvane/class_factory.h"
#include "corvane/corvane_module.h"
#include "corvane/registration.h"
#include "device/com_server.h"

using brevalo::CorvaneModule;
using brevalo::HRESULT;

extern "C" {

__attribute__((visibility("default"))) HRESULT DllGetClassObject(const brevalo::CLSID& clsid,
                                                                  const brevalo::IID& iid,
                                                                  void** object) {
  if (object == nullptr) return brevalo::E_INVALIDARG;
  *object = nullptr;
  if (!(clsid == brevalo::CLSID_CorvaneRuleClient)) return brevalo::CLASS_E_CLASSNOTAVAILABLE;
  brevalo::ClassFactory* factory = new (std::nothrow) brevalo::ClassFactory();
  if (factory == nullptr) return brevalo::E_OUTOFMEMORY;
  HRESULT result = factory->QueryInterface(iid, object);
  factory->Release();
  return result;
}

// Live objects keep the library too: unmapping it under an object that the service still holds
// would leave that object's code gone.
__attribute__((visibility("default"))) HRESULT DllCanUnloadNow() {
  const CorvaneModule& module = CorvaneModule::Instance();
  return module.LockCount() != 0 || module.LiveObjects() != 0 ? brevalo::S_FALSE : brevalo::S_OK;
}

__attribute__((visibility("default"))) HRESULT DllRegisterServer() {
  brevalo::Registry registry(CorvaneModule::Instance().CurrentDevice().RegistryFile());
  return brevalo::RegisterRuleClient(registry);
}

__attribute__((visibility("default"))) HRESULT DllUnregisterServer() {
  brevalo::Registry registry(CorvaneModule::Instance().CurrentDevice().RegistryFile());
  return brevalo::UnregisterRuleClient(registry);
}

}  // extern "C"

// The declarations the device calls through must match these definitions.
static_assert(std::is_same_v<decltype(&DllGetClassObject), brevalo::DllGetClassObjectFunction>);
static_assert(std::is_same_v<decltype(&DllCanUnloadNow), brevalo::DllCanUnloadNowFunction>);
static_assert(std::is_same_v<decltype(&DllRegisterServer), brevalo::DllRegisterServerFunction>);
