// What the library shares between its objects: the server lock count, the number of objects
// alive, the device it runs on and its debug output.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "device/device_paths.h"
#include "device/guid.h"

namespace brevalo {

constexpr CLSID CLSID_CorvaneRuleClient{0x20F58816, 0x51E4, 0x418D,
                                        {0x92, 0xDD, 0x83, 0x90, 0x02, 0x1D, 0xCD, 0xCA}};

class CorvaneModule {
 public:
  static CorvaneModule& Instance();

  void Lock(bool lock) { lockCount_ += lock ? 1 : -1; }
  int32_t LockCount() const { return lockCount_; }
  void ObjectMade() { ++liveObjects_; }
  void ObjectFreed() { --liveObjects_; }
  int32_t LiveObjects() const { return liveObjects_; }

  // The device of the process that loaded the library ($VELMORA_DEVICE, as every device tool
  // resolves it).
  Device CurrentDevice() const;
  // One line of debug output, recorded in the device's event log.
  void Debug(const std::u16string& line) const;

 private:
  CorvaneModule() = default;
  std::atomic<int32_t> lockCount_{0};
  std::atomic<int32_t> liveObjects_{0};
};

}  // namespace brevalo
