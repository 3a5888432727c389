// The two interfaces every in-process server and its host share: IUnknown and IClassFactory.
// A shared object built from this header and the device agree on the vtable because the slots
// are declared in the phone's order and nothing else is virtual: the destructors are protected
// and not virtual on purpose (a virtual one would add slots), objects end through Release.
#pragma once

#include <cstdint>

#include "device/guid.h"
#include "device/hresult.h"

namespace brevalo {

// Internal linkage on purpose: an inline variable would become a unique symbol that keeps a
// loaded server from ever being unmapped again.
constexpr IID IID_IUnknown{0x00000000, 0x0000, 0x0000,
                           {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr IID IID_IClassFactory{0x00000001, 0x0000, 0x0000,
                                {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

class IUnknown {
 public:
  // Hands out the object as `iid` with one more reference, or sets *object to nullptr and
  // returns E_NOINTERFACE.
  virtual HRESULT QueryInterface(const IID& iid, void** object) = 0;
  // Both return the new reference count; the object is freed when it reaches 0.
  virtual uint32_t AddRef() = 0;
  virtual uint32_t Release() = 0;

 protected:
  IUnknown() = default;
  IUnknown(const IUnknown&) = default;
  IUnknown& operator=(const IUnknown&) = default;
  ~IUnknown() = default;
};

class IClassFactory : public IUnknown {
 public:
  // A new object of the factory's class as `iid`; an outer object is refused with
  // CLASS_E_NOAGGREGATION by servers that cannot be aggregated.
  virtual HRESULT CreateInstance(IUnknown* outer, const IID& iid, void** object) = 0;
  // Keeps the server loaded (lock true) or lets it go again (lock false).
  virtual HRESULT LockServer(bool lock) = 0;

 protected:
  IClassFactory() = default;
  IClassFactory(const IClassFactory&) = default;
  IClassFactory& operator=(const IClassFactory&) = default;
  ~IClassFactory() = default;
};

// Where an object may run; the device activates in-process servers only.
constexpr uint32_t CLSCTX_INPROC_SERVER = 0x1;
constexpr uint32_t CLSCTX_INPROC_HANDLER = 0x2;
constexpr uint32_t CLSCTX_LOCAL_SERVER = 0x4;
constexpr uint32_t CLSCTX_REMOTE_SERVER = 0x10;
constexpr uint32_t CLSCTX_INPROC = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER;
constexpr uint32_t CLSCTX_ALL =
    CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER;

}  // namespace brevalo
