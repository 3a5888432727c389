#include "device/named_mutex.h"

#include <pthread.h>

#include "device/kernel_names.h"
#include "device/kernel_wait.h"
#include "device/robust_lock.h"

namespace brevalo {
namespace {

struct MutexState {
  pthread_mutex_t mutex;
};

struct MutexOptions {
  bool initialOwner;
};

bool BuildMutex(void* payload, size_t, const void* context) {
  auto* state = static_cast<MutexState*>(payload);
  if (!InitRobustMutex(&state->mutex, true)) return false;
  // Taken before any other process can see the mutex, so ownership from birth cannot be raced.
  if (static_cast<const MutexOptions*>(context)->initialOwner) {
    return LockRobustMutex(&state->mutex, 0) == LockResult::kAcquired;
  }
  return true;
}

}  // namespace

NamedMutex::NamedMutex(std::unique_ptr<SharedSegment> segment) : segment_(std::move(segment)) {}

std::unique_ptr<NamedMutex> NamedMutex::Create(const Device& device, std::u16string_view name,
                                               bool initialOwner) {
  if (name.empty()) return nullptr;
  MutexOptions options{initialOwner};
  auto segment = SharedSegment::Acquire(
      KernelObjectHostName(device, KernelObjectKind::kMutex, name),
      static_cast<uint32_t>(KernelObjectKind::kMutex), sizeof(MutexState),
      SharedSegment::Mode::kCreateOrOpen, &BuildMutex, &options);
  if (segment == nullptr) return nullptr;
  return std::unique_ptr<NamedMutex>(new NamedMutex(std::move(segment)));
}

NamedMutex::~NamedMutex() {
  auto* state = static_cast<MutexState*>(segment_->Payload());
  // Unlocking succeeds only for the owner, once per take.
  while (pthread_mutex_unlock(&state->mutex) == 0) {
  }
}

uint32_t NamedMutex::LastError() const { return segment_->Existed() ? ERROR_ALREADY_EXISTS : 0; }

uint32_t NamedMutex::Wait(uint32_t timeoutMs) {
  auto* state = static_cast<MutexState*>(segment_->Payload());
  switch (LockRobustMutex(&state->mutex, timeoutMs)) {
    case LockResult::kAcquired:
      return WAIT_OBJECT_0;
    case LockResult::kAbandoned:
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
  return pthread_mutex_unlock(&state->mutex) == 0;
}

}  // namespace brevalo
