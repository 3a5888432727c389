#include "device/named_event.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <thread>

#include "device/kernel_test_support.h"
#include "device/kernel_wait.h"

namespace brevalo {
namespace {

using testing::Child;
using testing::MonotonicMs;
using testing::Pipe;
using testing::TempDevice;

constexpr char16_t kName[] = u"TEST_EVENT";

class NamedEventTest : public ::testing::Test {
 protected:
  std::unique_ptr<NamedEvent> Make(bool manualReset = false, bool initialState = false) {
    return NamedEvent::Create(temp_.device(), kName, manualReset, initialState);
  }
  TempDevice temp_;
};

TEST_F(NamedEventTest, AutoResetLetsOneWaitThroughPerSet) {
  auto event = Make();
  ASSERT_NE(event, nullptr);
  EXPECT_EQ(event->LastError(), 0u);
  EXPECT_EQ(event->Wait(0), WAIT_TIMEOUT) << "not signalled at creation";
  ASSERT_TRUE(event->Set());
  ASSERT_TRUE(event->Set());  // a second Set before any wait adds nothing
  EXPECT_EQ(event->Wait(0), WAIT_OBJECT_0);
  EXPECT_EQ(event->Wait(30), WAIT_TIMEOUT);
}

TEST_F(NamedEventTest, ResetDropsAPendingSignal) {
  auto event = Make();
  event->Set();
  event->Reset();
  EXPECT_EQ(event->Wait(0), WAIT_TIMEOUT);
}

TEST_F(NamedEventTest, ManualResetStaysSignalledForEveryoneUntilReset) {
  auto event = Make(true, true);
  EXPECT_EQ(event->Wait(0), WAIT_OBJECT_0);
  EXPECT_EQ(event->Wait(0), WAIT_OBJECT_0);
  // The creator's kind holds for those who open it with other flags.
  auto opened = Make(false, false);
  EXPECT_EQ(opened->LastError(), ERROR_ALREADY_EXISTS);
  EXPECT_EQ(opened->Wait(0), WAIT_OBJECT_0);
  opened->Reset();
  EXPECT_EQ(event->Wait(0), WAIT_TIMEOUT);
}

TEST_F(NamedEventTest, TimeOutIsKeptAndInfiniteWaitsForTheSet) {
  auto event = Make();
  int64_t start = MonotonicMs();
  EXPECT_EQ(event->Wait(120), WAIT_TIMEOUT);
  int64_t waited = MonotonicMs() - start;
  EXPECT_GE(waited, 115);
  EXPECT_LT(waited, 1000);

  std::thread setter([&] {
    usleep(50000);
    event->Set();
  });
  EXPECT_EQ(event->Wait(INFINITE), WAIT_OBJECT_0);
  setter.join();
}

TEST_F(NamedEventTest, SetInOneProcessWakesAWaiterInAnother) {
  auto event = Make();
  Pipe waiting;
  Child waiter([&] {
    auto own = Make();
    waiting.Signal();
    return own->Wait(5000) == WAIT_OBJECT_0 ? 0 : 1;
  });
  ASSERT_TRUE(waiting.Await());
  usleep(20000);
  event->Set();
  EXPECT_EQ(waiter.Wait(), 0);
  EXPECT_EQ(event->Wait(0), WAIT_TIMEOUT) << "the waiter consumed the signal";
}

TEST_F(NamedEventTest, OneSetReleasesExactlyOneOfTwoWaitingProcesses) {
  auto event = Make();
  Pipe waiting;
  auto body = [&] {
    auto own = Make();
    waiting.Signal();
    return own->Wait(700) == WAIT_OBJECT_0 ? 0 : 1;
  };
  Child first(body);
  Child second(body);
  ASSERT_TRUE(waiting.Await());
  ASSERT_TRUE(waiting.Await());
  usleep(50000);
  event->Set();
  int woken = (first.Wait() == 0) + (second.Wait() == 0);
  EXPECT_EQ(woken, 1);
}

TEST_F(NamedEventTest, KilledWaiterDoesNotBlockLaterSets) {
  auto event = Make();
  Pipe waiting;
  Child doomed([&] {
    auto own = Make();
    waiting.Signal();
    own->Wait(INFINITE);
    return 0;
  });
  ASSERT_TRUE(waiting.Await());
  usleep(20000);
  doomed.Kill();
  ASSERT_TRUE(event->Set());
  EXPECT_EQ(event->Wait(0), WAIT_OBJECT_0);
}

TEST_F(NamedEventTest, TwoDevicesNeverMeet) {
  TempDevice other;
  auto here = Make();
  auto there = NamedEvent::Create(other.device(), kName, false, false);
  EXPECT_EQ(there->LastError(), 0u);
  here->Set();
  EXPECT_EQ(there->Wait(30), WAIT_TIMEOUT);
  EXPECT_EQ(here->Wait(0), WAIT_OBJECT_0);
}

}  // namespace
}  // namespace brevalo
