#include "device/random_key.h"

#include <sys/random.h>

#include <cerrno>

namespace brevalo {

uint32_t RandomKey() {
  uint32_t key = 0;
  // Four bytes never block once the pool is initialised; retry only on a signal.
  while (getrandom(&key, sizeof key, 0) != static_cast<ssize_t>(sizeof key)) {
    if (errno != EINTR) break;
  }
  return key;
}

}  // namespace brevalo
