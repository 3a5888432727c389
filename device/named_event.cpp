#include "device/named_event.h"

#include <linux/futex.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <ctime>
#include <new>

#include "device/kernel_names.h"
#include "device/kernel_wait.h"
#include "device/robust_lock.h"

namespace brevalo {
namespace {

struct EventState {
  std::atomic<uint32_t> signalled;
  uint32_t manualReset;
};
static_assert(sizeof(std::atomic<uint32_t>) == sizeof(uint32_t));

struct EventOptions {
  bool manualReset;
  bool initialState;
};

bool BuildEvent(void* payload, size_t, const void* context) {
  const auto* options = static_cast<const EventOptions*>(context);
  auto* state = new (payload) EventState{};
  state->signalled.store(options->initialState ? 1 : 0, std::memory_order_relaxed);
  state->manualReset = options->manualReset ? 1 : 0;
  return true;
}

uint32_t* FutexWord(EventState* state) { return reinterpret_cast<uint32_t*>(&state->signalled); }

// Shared (not process-private) futex operations: the word lives in shared memory.
long FutexWait(EventState* state, uint32_t expected, const struct timespec* relative) {
  return syscall(SYS_futex, FutexWord(state), FUTEX_WAIT, expected, relative, nullptr, 0);
}

long FutexWakeAll(EventState* state) {
  return syscall(SYS_futex, FutexWord(state), FUTEX_WAKE, INT_MAX, nullptr, nullptr, 0);
}

}  // namespace

NamedEvent::NamedEvent(std::unique_ptr<SharedSegment> segment) : segment_(std::move(segment)) {}

std::unique_ptr<NamedEvent> NamedEvent::Create(const Device& device, std::u16string_view name,
                                               bool manualReset, bool initialState) {
  if (name.empty()) return nullptr;
  EventOptions options{manualReset, initialState};
  auto segment =
      SharedSegment::Acquire(KernelObjectHostName(device, KernelObjectKind::kEvent, name),
                             static_cast<uint32_t>(KernelObjectKind::kEvent), sizeof(EventState),
                             SharedSegment::Mode::kCreateOrOpen, &BuildEvent, &options);
  if (segment == nullptr) return nullptr;
  return std::unique_ptr<NamedEvent>(new NamedEvent(std::move(segment)));
}

uint32_t NamedEvent::LastError() const { return segment_->Existed() ? ERROR_ALREADY_EXISTS : 0; }

bool NamedEvent::Set() {
  auto* state = static_cast<EventState*>(segment_->Payload());
  state->signalled.store(1, std::memory_order_release);
  // Everyone wakes; for an auto-reset event only the one whose exchange succeeds goes through,
  // the others wait again.
  return FutexWakeAll(state) >= 0;
}

bool NamedEvent::Reset() {
  auto* state = static_cast<EventState*>(segment_->Payload());
  state->signalled.store(0, std::memory_order_release);
  return true;
}

bool NamedEvent::TryTake() {
  auto* state = static_cast<EventState*>(segment_->Payload());
  if (state->manualReset != 0) return state->signalled.load(std::memory_order_acquire) == 1;
  uint32_t expected = 1;
  return state->signalled.compare_exchange_strong(expected, 0, std::memory_order_acq_rel);
}

uint32_t NamedEvent::Wait(uint32_t timeoutMs) {
  auto* state = static_cast<EventState*>(segment_->Payload());
  struct timespec deadline = MonotonicDeadline(timeoutMs == INFINITE ? 0 : timeoutMs);
  for (;;) {
    if (TryTake()) return WAIT_OBJECT_0;
    const struct timespec* relative = nullptr;
    struct timespec left {};
    if (timeoutMs != INFINITE) {
      int64_t ms = MillisecondsUntil(deadline);
      if (ms <= 0) return WAIT_TIMEOUT;
      left.tv_sec = static_cast<time_t>(ms / 1000);
      left.tv_nsec = static_cast<long>(ms % 1000) * 1000000L;
      relative = &left;
    }
    // Sleeps only while the word still reads 0, so a Set between the check and here is seen.
    if (FutexWait(state, 0, relative) == -1 && errno != EAGAIN && errno != EINTR &&
        errno != ETIMEDOUT) {
      return WAIT_FAILED;
    }
  }
}

}  // namespace brevalo
