#include "app/application_lock.h"

namespace brevalo {

void ApplicationLock::Lock() {
  mutex_.lock();
  ++depth_;
}

bool ApplicationLock::Unlock() {
  // The try succeeds only for the owner or while nobody holds the lock; the depth tells them
  // apart.
  if (!mutex_.try_lock()) return false;
  bool held = depth_.load() > 0;
  mutex_.unlock();
  if (!held) return false;
  --depth_;
  mutex_.unlock();
  return true;
}

}  // namespace brevalo
