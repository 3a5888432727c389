// An event shared by the processes of one device. An auto-reset event lets exactly one waiter
// through per Set and is unsignalled again afterwards; a manual-reset one stays signalled until
// Reset. Built on a futex word rather than a condition variable, so that a process killed while
// waiting cannot block those that set the event later.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "device/device_paths.h"
#include "device/shared_segment.h"

namespace brevalo {

class NamedEvent {
 public:
  // Creates the event `name` on `device` or opens the existing one (LastError() then reports
  // ERROR_ALREADY_EXISTS and both flags are those of the first creator). Nothing when the name
  // is empty or the object cannot be made.
  static std::unique_ptr<NamedEvent> Create(const Device& device, std::u16string_view name,
                                            bool manualReset, bool initialState);

  NamedEvent(const NamedEvent&) = delete;
  NamedEvent& operator=(const NamedEvent&) = delete;
  ~NamedEvent() = default;

  uint32_t LastError() const;

  bool Set();
  bool Reset();
  // WAIT_OBJECT_0 when signalled (an auto-reset event is then unsignalled again), WAIT_TIMEOUT,
  // WAIT_FAILED. timeoutMs may be INFINITE.
  uint32_t Wait(uint32_t timeoutMs);

 private:
  explicit NamedEvent(std::unique_ptr<SharedSegment> segment);
  bool TryTake();
  std::unique_ptr<SharedSegment> segment_;
};

}  // namespace brevalo
