#include "device/named_mutex.h"

#include <gtest/gtest.h>

#include <sched.h>
#include <unistd.h>

#include <thread>
#include <vector>

#include "device/kernel_test_support.h"
#include "device/kernel_wait.h"
#include "device/named_mapping.h"

namespace brevalo {
namespace {

using testing::Child;
using testing::MonotonicMs;
using testing::Pipe;
using testing::TempDevice;

constexpr char16_t kName[] = u"TEST_MUTEX";

// The thread checker does not model a robust mutex passing from a dead owner to a waiter and
// reports the new owner's release as wrong; every child forked after such a report then fails.
#if defined(__SANITIZE_THREAD__)
#define SKIP_UNDER_THREAD_CHECKER() GTEST_SKIP() << "robust hand-over is not modelled by TSan"
#else
#define SKIP_UNDER_THREAD_CHECKER() (void)0
#endif

class NamedMutexTest : public ::testing::Test {
 protected:
  std::unique_ptr<NamedMutex> Make(bool initialOwner = false) {
    return NamedMutex::Create(temp_.device(), kName, initialOwner);
  }
  TempDevice temp_;
};

TEST_F(NamedMutexTest, SecondCreateReportsAlreadyExistsInAnyProcess) {
  auto first = Make();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->LastError(), 0u);
  auto second = Make();
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->LastError(), ERROR_ALREADY_EXISTS);
  Child child([&] {
    auto opened = Make();
    return opened && opened->LastError() == ERROR_ALREADY_EXISTS ? 0 : 1;
  });
  EXPECT_EQ(child.Wait(), 0);
}

TEST_F(NamedMutexTest, EmptyNameIsRefused) {
  EXPECT_EQ(NamedMutex::Create(temp_.device(), u"", false), nullptr);
}

TEST_F(NamedMutexTest, OwnerMayTakeItAgainAndOthersWaitUntilEveryTakeIsReleased) {
  auto mutex = Make();
  ASSERT_EQ(mutex->Wait(INFINITE), WAIT_OBJECT_0);
  ASSERT_EQ(mutex->Wait(0), WAIT_OBJECT_0);
  auto tryFromChild = [&] {
    Child child([&] { return static_cast<int>(Make()->Wait(0) == WAIT_TIMEOUT); });
    return child.Wait();
  };
  EXPECT_EQ(tryFromChild(), 1);
  ASSERT_TRUE(mutex->Release());
  EXPECT_EQ(tryFromChild(), 1) << "one take is still held";
  ASSERT_TRUE(mutex->Release());
  EXPECT_EQ(tryFromChild(), 0);
  EXPECT_FALSE(mutex->Release()) << "released more often than taken";
}

TEST_F(NamedMutexTest, ReleaseByAThreadThatDoesNotOwnItFails) {
  auto mutex = Make();
  ASSERT_EQ(mutex->Wait(INFINITE), WAIT_OBJECT_0);
  bool released = true;
  std::thread other([&] { released = mutex->Release(); });
  other.join();
  EXPECT_FALSE(released);
  EXPECT_TRUE(mutex->Release());
}

TEST_F(NamedMutexTest, WaitTimesOutWhileAnotherProcessHoldsIt) {
  auto mutex = Make();
  Pipe held, done;
  Child holder([&] {
    auto own = Make();
    if (own->Wait(INFINITE) != WAIT_OBJECT_0) return 1;
    held.Signal();
    done.Await(10000);
    own->Release();
    return 0;
  });
  ASSERT_TRUE(held.Await());
  int64_t start = MonotonicMs();
  EXPECT_EQ(mutex->Wait(150), WAIT_TIMEOUT);
  int64_t waited = MonotonicMs() - start;
  EXPECT_GE(waited, 145);
  EXPECT_LT(waited, 1000);
  done.Signal();
  EXPECT_EQ(mutex->Wait(5000), WAIT_OBJECT_0);
  EXPECT_TRUE(mutex->Release());
  EXPECT_EQ(holder.Wait(), 0);
}

TEST_F(NamedMutexTest, KilledHolderHandsTheMutexOnAsAbandoned) {
  SKIP_UNDER_THREAD_CHECKER();
  auto mutex = Make();
  Pipe held;
  Child holder([&] {
    auto own = Make();
    if (own->Wait(INFINITE) != WAIT_OBJECT_0) return 1;
    held.Signal();
    pause();
    return 0;
  });
  ASSERT_TRUE(held.Await());
  EXPECT_EQ(mutex->Wait(100), WAIT_TIMEOUT);
  holder.Kill();
  EXPECT_EQ(mutex->Wait(5000), WAIT_ABANDONED);
  EXPECT_TRUE(mutex->Release());
  // Abandonment is reported once; afterwards the mutex is an ordinary one again.
  EXPECT_EQ(mutex->Wait(0), WAIT_OBJECT_0);
  EXPECT_TRUE(mutex->Release());
}

TEST_F(NamedMutexTest, ThreadThatEndsHoldingItAbandonsIt) {
  SKIP_UNDER_THREAD_CHECKER();
  auto mutex = Make();
  std::thread holder([&] { mutex->Wait(INFINITE); });
  holder.join();
  EXPECT_EQ(mutex->Wait(1000), WAIT_ABANDONED);
  EXPECT_TRUE(mutex->Release());
}

TEST_F(NamedMutexTest, ClosingAnOwnedHandleDoesNotStrandOtherProcesses) {
  auto kept = Make();
  Pipe closed, done;
  Child holder([&] {
    auto own = Make();
    own->Wait(INFINITE);
    own->Wait(INFINITE);
    own.reset();  // still owned twice when closed
    closed.Signal();
    done.Await(10000);
    return 0;
  });
  ASSERT_TRUE(closed.Await());
  EXPECT_EQ(kept->Wait(2000), WAIT_OBJECT_0);
  EXPECT_TRUE(kept->Release());
  done.Signal();
  EXPECT_EQ(holder.Wait(), 0);
}

TEST_F(NamedMutexTest, InitialOwnershipOnlyForTheCreator) {
  auto creator = Make(true);
  ASSERT_EQ(creator->LastError(), 0u);
  Child opener([&] {
    auto own = Make(true);  // exists already: no ownership
    if (own->LastError() != ERROR_ALREADY_EXISTS) return 2;
    return own->Wait(50) == WAIT_TIMEOUT ? 0 : 1;
  });
  EXPECT_EQ(opener.Wait(), 0);
  EXPECT_TRUE(creator->Release());
  EXPECT_FALSE(creator->Release());
}

TEST_F(NamedMutexTest, TwoDevicesNeverMeet) {
  TempDevice other;
  auto here = Make();
  ASSERT_EQ(here->Wait(INFINITE), WAIT_OBJECT_0);
  Child child([&] {
    auto there = NamedMutex::Create(other.device(), kName, false);
    if (there->LastError() != 0) return 2;
    return there->Wait(0) == WAIT_OBJECT_0 ? 0 : 1;
  });
  EXPECT_EQ(child.Wait(), 0);
  EXPECT_TRUE(here->Release());
}

TEST_F(NamedMutexTest, ObjectEndsWithItsLastHolder) {
  {
    auto only = Make();
    ASSERT_EQ(only->LastError(), 0u);
  }
  EXPECT_EQ(Make()->LastError(), 0u) << "closed by everyone, so created afresh";

  Pipe made;
  Child holder([&] {
    auto own = Make();
    own->Wait(INFINITE);
    made.Signal();
    pause();
    return 0;
  });
  ASSERT_TRUE(made.Await());
  holder.Kill();
  // The only holder died: the next Create gets a new, unowned mutex.
  auto fresh = Make();
  EXPECT_EQ(fresh->LastError(), 0u);
  EXPECT_EQ(fresh->Wait(0), WAIT_OBJECT_0);
  EXPECT_TRUE(fresh->Release());
}

TEST_F(NamedMutexTest, ProcessesTakingTurnsNeverLoseAnUpdate) {
  auto mutex = Make();
  auto shared = NamedMapping::Create(temp_.device(), u"TEST_COUNTER", sizeof(uint32_t));
  ASSERT_NE(shared, nullptr);
  constexpr int kChildren = 4;
  constexpr int kRounds = 300;
  Pipe go;
  std::vector<std::unique_ptr<Child>> children;
  for (int i = 0; i < kChildren; ++i) {
    children.push_back(std::make_unique<Child>([&] {
      auto own = Make();
      auto counter = NamedMapping::Create(temp_.device(), u"TEST_COUNTER", sizeof(uint32_t));
      volatile uint32_t* value = static_cast<uint32_t*>(counter->Data());
      go.Await();
      for (int round = 0; round < kRounds; ++round) {
        if (own->Wait(INFINITE) != WAIT_OBJECT_0) return 1;
        // Read, yield, write: without exclusion other processes' increments get lost.
        uint32_t seen = *value;
        sched_yield();
        *value = seen + 1;
        own->Release();
      }
      return 0;
    }));
  }
  go.Signal(kChildren);
  for (auto& child : children) EXPECT_EQ(child->Wait(60000), 0);
  EXPECT_EQ(*static_cast<uint32_t*>(shared->Data()), uint32_t{kChildren * kRounds});
}

}  // namespace
}  // namespace brevalo
