#include "device/robust_lock.h"

#include <cerrno>
#include <ctime>

#include "device/kernel_wait.h"

namespace brevalo {

bool InitRobustMutex(pthread_mutex_t* mutex, bool recursive) {
  pthread_mutexattr_t attr;
  if (pthread_mutexattr_init(&attr) != 0) return false;
  bool ok = pthread_mutexattr_setpshared(&attr, PTHREAD_PROCESS_SHARED) == 0 &&
            pthread_mutexattr_setrobust(&attr, PTHREAD_MUTEX_ROBUST) == 0 &&
            pthread_mutexattr_settype(
                &attr, recursive ? PTHREAD_MUTEX_RECURSIVE : PTHREAD_MUTEX_ERRORCHECK) == 0 &&
            pthread_mutex_init(mutex, &attr) == 0;
  pthread_mutexattr_destroy(&attr);
  return ok;
}

struct timespec MonotonicDeadline(uint32_t timeoutMs) {
  struct timespec now {};
  clock_gettime(CLOCK_MONOTONIC, &now);
  now.tv_sec += static_cast<time_t>(timeoutMs / 1000);
  now.tv_nsec += static_cast<long>(timeoutMs % 1000) * 1000000L;
  if (now.tv_nsec >= 1000000000L) {
    now.tv_sec += 1;
    now.tv_nsec -= 1000000000L;
  }
  return now;
}

int64_t MillisecondsUntil(const struct timespec& deadline) {
  struct timespec now {};
  clock_gettime(CLOCK_MONOTONIC, &now);
  int64_t nanos = (static_cast<int64_t>(deadline.tv_sec) - now.tv_sec) * 1000000000LL +
                  (deadline.tv_nsec - now.tv_nsec);
  if (nanos <= 0) return 0;
  return (nanos + 999999) / 1000000;
}

namespace {

// The time-out runs on the monotonic clock. The lock call itself takes a wall-clock deadline,
// so it is given short slices: a jump of the wall clock can stretch or cut one slice, never the
// whole wait.
int TimedLock(pthread_mutex_t* mutex, uint32_t timeoutMs) {
  constexpr int64_t kSliceMs = 50;
  struct timespec deadline = MonotonicDeadline(timeoutMs);
  for (;;) {
    int64_t left = MillisecondsUntil(deadline);
    if (left <= 0) return ETIMEDOUT;
    int64_t slice = left < kSliceMs ? left : kSliceMs;
    struct timespec wall {};
    clock_gettime(CLOCK_REALTIME, &wall);
    wall.tv_sec += static_cast<time_t>(slice / 1000);
    wall.tv_nsec += static_cast<long>(slice % 1000) * 1000000L;
    if (wall.tv_nsec >= 1000000000L) {
      wall.tv_sec += 1;
      wall.tv_nsec -= 1000000000L;
    }
    int rc = pthread_mutex_timedlock(mutex, &wall);
    if (rc != ETIMEDOUT) return rc;
  }
}

}  // namespace

LockResult LockRobustMutex(pthread_mutex_t* mutex, uint32_t timeoutMs) {
  int rc;
  if (timeoutMs == INFINITE) {
    rc = pthread_mutex_lock(mutex);
  } else if (timeoutMs == 0) {
    rc = pthread_mutex_trylock(mutex);
  } else {
    rc = TimedLock(mutex, timeoutMs);
  }
  switch (rc) {
    case 0:
      return LockResult::kAcquired;
    case EOWNERDEAD:
      // The state the dead holder guarded may be half changed; its owners are told through
      // kAbandoned. The mutex itself is made usable again, or every later locker would fail.
      if (pthread_mutex_consistent(mutex) != 0) {
        pthread_mutex_unlock(mutex);
        return LockResult::kFailed;
      }
      return LockResult::kAbandoned;
    case EBUSY:
    case ETIMEDOUT:
      return LockResult::kTimedOut;
    default:
      return LockResult::kFailed;
  }
}

}  // namespace brevalo
