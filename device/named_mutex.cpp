#include "device/named_mutex.h"

#include <pthread.h>
#include <unistd.h>

#include <atomic>

#include "device/kernel_names.h"
#include "device/kernel_wait.h"
#include "device/robust_lock.h"

namespace brevalo {
namespace {

struct MutexState {
  pthread_mutex_t mutex;
  // Owner and number of takes, kept beside the pthread mutex so that Release can refuse a
  // thread that does not own it without asking the mutex to do something wrong. Written only
  // by the owner; thread ids are unique across the machine's processes.
  int32_t ownerTid;
  uint32_t takes;
};

int32_t CurrentTid() { return static_cast<int32_t>(gettid()); }

std::atomic_ref<int32_t> Owner(MutexState* state) {
  return std::atomic_ref<int32_t>(state->ownerTid);
}

void TakeOwnership(MutexState* state, bool fresh) {
  if (fresh) {
    state->takes = 1;
    Owner(state).store(CurrentTid(), std::memory_order_relaxed);
  } else {
    ++state->takes;
  }
}

struct MutexOptions {
  bool initialOwner;
};

bool BuildMutex(void* payload, size_t, const void* context) {
  auto* state = static_cast<MutexState*>(payload);
  if (!InitRobustMutex(&state->mutex, true)) return false;
  // Taken before any other process can see the mutex, so ownership from birth cannot be raced.
  if (static_cast<const MutexOptions*>(context)->initialOwner) {
    if (LockRobustMutex(&state->mutex, 0) != LockResult::kAcquired) return false;
    TakeOwnership(state, true);
  }
  return true;
}

}  // namespace

NamedMutex::NamedMutex(std::unique_ptr<SharedSegment> segment) : segment_(std::move(segment)) {}

std::unique_ptr<NamedMutex> NamedMutex::Create(const Device& device, std::u16string_view name,
                                               bool initialOwner) {
  if (name.empty()) return nullptr;
  MutexOptions options{initialOwner};
  auto segment =
      SharedSegment::Acquire(KernelObjectHostName(device, KernelObjectKind::kMutex, name),
                             static_cast<uint32_t>(KernelObjectKind::kMutex), sizeof(MutexState),
                             SharedSegment::Mode::kCreateOrOpen, &BuildMutex, &options);
  if (segment == nullptr) return nullptr;
  return std::unique_ptr<NamedMutex>(new NamedMutex(std::move(segment)));
}

NamedMutex::~NamedMutex() {
  while (heldHere_.load() > 0 && Release()) {
  }
}

uint32_t NamedMutex::LastError() const { return segment_->Existed() ? ERROR_ALREADY_EXISTS : 0; }

uint32_t NamedMutex::Wait(uint32_t timeoutMs) {
  auto* state = static_cast<MutexState*>(segment_->Payload());
  bool mine = Owner(state).load(std::memory_order_relaxed) == CurrentTid();
  switch (LockRobustMutex(&state->mutex, timeoutMs)) {
    case LockResult::kAcquired:
      TakeOwnership(state, !mine);
      ++heldHere_;
      return WAIT_OBJECT_0;
    case LockResult::kAbandoned:
      // The dead owner's count means nothing now.
      TakeOwnership(state, true);
      ++heldHere_;
      return WAIT_ABANDONED;
    case LockResult::kTimedOut:
      return WAIT_TIMEOUT;
    case LockResult::kFailed:
      break;
  }
  return WAIT_FAILED;
}

bool NamedMutex::Release() {
  auto* state = static_cast<MutexState*>(segment_->Payload());
  if (Owner(state).load(std::memory_order_relaxed) != CurrentTid() || state->takes == 0) {
    return false;
  }
  if (--state->takes == 0) Owner(state).store(0, std::memory_order_relaxed);
  if (heldHere_.load() > 0) --heldHere_;
  return pthread_mutex_unlock(&state->mutex) == 0;
}

}  // namespace brevalo
