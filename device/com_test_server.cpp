// An in-process server of one class (the test counter), built the way a device library is:
// a class factory and objects with counted references, DllGetClassObject and DllCanUnloadNow.
#include <atomic>
#include <cstdint>
#include <new>
#include <type_traits>

#include "device/com_server.h"
#include "device/com_test_server.h"

namespace {

using namespace brevalo;
using brevalo::testing::CLSID_TestCounter;
using brevalo::testing::IID_ITestCounter;
using brevalo::testing::ITestCounter;

std::atomic<int32_t> liveObjects{0};
std::atomic<int32_t> serverLocks{0};

class Counter final : public ITestCounter {
 public:
  Counter() { ++liveObjects; }

  HRESULT QueryInterface(const IID& iid, void** object) override {
    if (object == nullptr) return E_INVALIDARG;
    if (iid == IID_IUnknown || iid == IID_ITestCounter) {
      *object = static_cast<ITestCounter*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  uint32_t AddRef() override { return ++references_; }
  uint32_t Release() override {
    uint32_t left = --references_;
    if (left == 0) delete this;
    return left;
  }
  int32_t Increment() override { return ++value_; }

 private:
  ~Counter() { --liveObjects; }
  std::atomic<uint32_t> references_{1};
  int32_t value_ = 0;
};

class Factory final : public IClassFactory {
 public:
  Factory() { ++liveObjects; }

  HRESULT QueryInterface(const IID& iid, void** object) override {
    if (object == nullptr) return E_INVALIDARG;
    if (iid == IID_IUnknown || iid == IID_IClassFactory) {
      *object = static_cast<IClassFactory*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  uint32_t AddRef() override { return ++references_; }
  uint32_t Release() override {
    uint32_t left = --references_;
    if (left == 0) delete this;
    return left;
  }
  HRESULT CreateInstance(IUnknown* outer, const IID& iid, void** object) override {
    if (object == nullptr) return E_INVALIDARG;
    *object = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    auto* counter = new (std::nothrow) Counter;
    if (counter == nullptr) return E_OUTOFMEMORY;
    HRESULT hr = counter->QueryInterface(iid, object);
    counter->Release();
    return hr;
  }
  HRESULT LockServer(bool lock) override {
    serverLocks += lock ? 1 : -1;
    return S_OK;
  }

 private:
  ~Factory() { --liveObjects; }
  std::atomic<uint32_t> references_{1};
};

}  // namespace

extern "C" HRESULT DllGetClassObject(const CLSID& clsid, const IID& iid, void** object) {
  if (object == nullptr) return E_INVALIDARG;
  *object = nullptr;
  if (clsid == brevalo::testing::CLSID_TestSloppy) {
    *object = reinterpret_cast<void*>(uintptr_t{0x10});
    return E_OUTOFMEMORY;
  }
  if (clsid == brevalo::testing::CLSID_TestHollow) return S_OK;
  if (clsid != CLSID_TestCounter) return CLASS_E_CLASSNOTAVAILABLE;
  auto* factory = new (std::nothrow) Factory;
  if (factory == nullptr) return E_OUTOFMEMORY;
  HRESULT hr = factory->QueryInterface(iid, object);
  factory->Release();
  return hr;
}

// Unlike a server that counts only locks, this one also stays while any of its objects lives,
// which is what lets the tests tell both reasons apart.
extern "C" HRESULT DllCanUnloadNow() {
  return serverLocks == 0 && liveObjects == 0 ? S_OK : S_FALSE;
}

extern "C" int32_t TestServerLiveObjects() { return liveObjects; }

static_assert(std::is_same_v<decltype(&DllGetClassObject), DllGetClassObjectFunction>);
static_assert(std::is_same_v<decltype(&DllCanUnloadNow), DllCanUnloadNowFunction>);
