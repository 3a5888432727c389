// A mutex shared by the processes of one device, named like the phone's: owned by one thread at
// a time, re-entrant for its owner (every Wait needs its Release), and never lost to a holder
// that dies: the next waiter gets it with WAIT_ABANDONED.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string_view>

#include "device/device_paths.h"
#include "device/shared_segment.h"

namespace brevalo {

class NamedMutex {
 public:
  // Creates the mutex `name` on `device` or opens the existing one (LastError() then reports
  // ERROR_ALREADY_EXISTS). `initialOwner` makes the calling thread its owner, only when this
  // call created it. Nothing when the name is empty or the object cannot be made.
  static std::unique_ptr<NamedMutex> Create(const Device& device, std::u16string_view name,
                                            bool initialOwner);

  NamedMutex(const NamedMutex&) = delete;
  NamedMutex& operator=(const NamedMutex&) = delete;
  // A thread that closes a mutex it still owns gives up every take first: its memory is about
  // to go, and with it the mark by which the owner's death would be noticed, so others would
  // otherwise wait for ever.
  ~NamedMutex();

  // ERROR_ALREADY_EXISTS when the mutex existed before Create, else 0.
  uint32_t LastError() const;

  // WAIT_OBJECT_0 once owned; WAIT_ABANDONED when owned because the previous owner died holding
  // it (what it guarded may be half changed); WAIT_TIMEOUT; WAIT_FAILED. timeoutMs may be
  // INFINITE.
  uint32_t Wait(uint32_t timeoutMs);
  // False when the calling thread does not own the mutex.
  bool Release();

 private:
  explicit NamedMutex(std::unique_ptr<SharedSegment> segment);
  std::unique_ptr<SharedSegment> segment_;
  // Takes made through this handle and not yet released, given up when it closes.
  std::atomic<uint32_t> heldHere_{0};
};

}  // namespace brevalo
