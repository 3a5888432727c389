#include "app/application_lock.h"

#include <atomic>
#include <chrono>
#include <thread>

#include <gtest/gtest.h>

namespace brevalo {
namespace {

TEST(ApplicationLockTest, TheOwnerTakesItAgainAndOthersWaitUntilTheLastRelease) {
  ApplicationLock lock;
  lock.Lock();
  lock.Lock();
  EXPECT_EQ(lock.Depth(), 2);
  std::atomic<bool> taken{false};
  std::thread other([&] {
    EXPECT_FALSE(lock.Unlock()) << "a thread that does not hold the lock cannot release it";
    lock.Lock();
    taken = true;
    lock.Unlock();
  });
  EXPECT_TRUE(lock.Unlock());
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_FALSE(taken.load());
  EXPECT_TRUE(lock.Unlock());
  other.join();
  EXPECT_TRUE(taken.load());
  EXPECT_EQ(lock.Depth(), 0);
}

TEST(ApplicationLockTest, AReleaseWithoutATakeIsRefused) {
  ApplicationLock lock;
  EXPECT_FALSE(lock.Unlock());
  EXPECT_EQ(lock.Depth(), 0);
  {
    ApplicationLockHold hold(lock);
    EXPECT_EQ(lock.Depth(), 1);
  }
  EXPECT_FALSE(lock.Unlock());
  EXPECT_EQ(lock.Depth(), 0);
}

}  // namespace
}  // namespace brevalo
