// Process-shared robust pthread mutexes, the one lock primitive of the named kernel objects.
// A holder that dies hands the mutex to the next locker, which is told so and marks it usable.
#pragma once

#include <pthread.h>

#include <cstdint>

namespace brevalo {

enum class LockResult { kAcquired, kAbandoned, kTimedOut, kFailed };

// REQUIRES: `mutex` lies in memory shared by every process that will lock it.
bool InitRobustMutex(pthread_mutex_t* mutex, bool recursive);

// Waits without limit when timeoutMs is INFINITE, tries once when it is 0.
LockResult LockRobustMutex(pthread_mutex_t* mutex, uint32_t timeoutMs);

// A deadline on the monotonic clock, timeoutMs from now.
struct timespec MonotonicDeadline(uint32_t timeoutMs);
// Milliseconds left until `deadline`, 0 once it has passed.
int64_t MillisecondsUntil(const struct timespec& deadline);

}  // namespace brevalo
