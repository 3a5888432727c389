#include "corvane/class_factory.h"

#include <new>
#include <string>

#include "corvane/corvane_module.h"
#include "corvane/rule_client.h"
#include "device/code_page.h"

namespace brevalo {

ClassFactory::ClassFactory() { CorvaneModule::Instance().ObjectMade(); }

ClassFactory::~ClassFactory() { CorvaneModule::Instance().ObjectFreed(); }

HRESULT ClassFactory::QueryInterface(const IID& iid, void** object) {
  if (object == nullptr) return E_INVALIDARG;
  if (iid == IID_IUnknown || iid == IID_IClassFactory) {
    *object = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

uint32_t ClassFactory::AddRef() {
  int32_t count = ++references_;
  CorvaneModule::Instance().Debug(u"Factory Reference is now " +
                                  FromUtf8(std::to_string(count)) + u"\r\n");
  return static_cast<uint32_t>(count);
}

uint32_t ClassFactory::Release() {
  int32_t count = --references_;
  CorvaneModule::Instance().Debug(u"Factory Reference is now " +
                                  FromUtf8(std::to_string(count)) + u"\r\n");
  if (count == 0) {
    CorvaneModule::Instance().Debug(u"CFactory Deleted!\r\n");
    delete this;
  }
  return static_cast<uint32_t>(count);
}

HRESULT ClassFactory::CreateInstance(IUnknown* outer, const IID& iid, void** object) {
  if (object == nullptr) return E_INVALIDARG;
  *object = nullptr;
  if (outer != nullptr) return CLASS_E_NOAGGREGATION;
  RuleClient* client = new (std::nothrow) RuleClient();
  if (client == nullptr) return E_OUTOFMEMORY;
  HRESULT result = client->QueryInterface(iid, object);
  client->Release();
  return result;
}

HRESULT ClassFactory::LockServer(bool lock) {
  CorvaneModule::Instance().Lock(lock);
  return S_OK;
}

}  // namespace brevalo
