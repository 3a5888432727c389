// The application lock: every change of the folder tree or the open document takes it, before
// the store's own lock whenever both are needed. Its owner may take it again; the depth is
// counted beside it, and a release without a take is refused instead of undoing someone
// else's hold.
#pragma once

#include <atomic>
#include <mutex>

namespace brevalo {

class ApplicationLock {
 public:
  void Lock();
  // False, changing nothing, when the lock is not held.
  bool Unlock();
  int Depth() const { return depth_.load(); }

 private:
  std::recursive_mutex mutex_;
  std::atomic<int> depth_{0};
};

class ApplicationLockHold {
 public:
  explicit ApplicationLockHold(ApplicationLock& lock) : lock_(lock) { lock_.Lock(); }
  ~ApplicationLockHold() { lock_.Unlock(); }
  ApplicationLockHold(const ApplicationLockHold&) = delete;
  ApplicationLockHold& operator=(const ApplicationLockHold&) = delete;

 private:
  ApplicationLock& lock_;
};

}  // namespace brevalo
