// The class factory of the rule client, handed out by DllGetClassObject.
#pragma once

#include <atomic>

#include "device/unknown.h"

namespace brevalo {

class ClassFactory final : public IClassFactory {
 public:
  // Reference count 1; the object frees itself when Release brings it to 0.
  ClassFactory();

  HRESULT QueryInterface(const IID& iid, void** object) override;
  uint32_t AddRef() override;
  uint32_t Release() override;
  HRESULT CreateInstance(IUnknown* outer, const IID& iid, void** object) override;
  HRESULT LockServer(bool lock) override;

 private:
  ~ClassFactory();
  std::atomic<int32_t> references_{1};
};

}  // namespace brevalo
