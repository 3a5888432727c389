#include "app/single_instance.h"

#include <chrono>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "device/kernel_test_support.h"
#include "device/window_directory.h"
#include "ui/window_messages.h"

namespace brevalo {
namespace {

using testing::Child;
using testing::TempDevice;

using Outcome = InstanceClaim::Outcome;

std::vector<WindowPost> Collect(WindowDirectoryEntry& entry, size_t count) {
  std::vector<WindowPost> posts;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  while (posts.size() < count && std::chrono::steady_clock::now() < deadline) {
    entry.Pump([&](const WindowPost& post) { posts.push_back(post); });
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return posts;
}

TEST(SingleInstanceTest, ALaterStartAsksTheRunningWindowToShowAndGivesWay) {
  TempDevice temp;
  InstanceClaim first = ClaimSingleInstance(temp.device());
  ASSERT_EQ(first.outcome, Outcome::kFirst);
  ASSERT_NE(first.mutex, nullptr);
  std::string error;
  auto window = WindowDirectoryEntry::Register(temp.device(), kMainWindowClass, kMainWindowTitle, &error);
  ASSERT_TRUE(window) << error;

  Child second([&] {
    InstanceClaim claim = ClaimSingleInstance(temp.device());
    return claim.outcome == Outcome::kHandedOver && claim.posted && claim.mutex == nullptr ? 0 : 1;
  });
  std::vector<WindowPost> posts = Collect(*window, 1);
  EXPECT_EQ(second.Wait(), 0);
  ASSERT_EQ(posts.size(), 1u);
  EXPECT_EQ(posts[0].message, WM_TRAY_NOTIFY);
  EXPECT_EQ(posts[0].wParam, 0u);
  EXPECT_EQ(posts[0].lParam, 515);
}

TEST(SingleInstanceTest, WithoutAWindowTheLaterStartStillGivesWaySilently) {
  TempDevice temp;
  InstanceClaim first = ClaimSingleInstance(temp.device());
  ASSERT_EQ(first.outcome, Outcome::kFirst);
  Child second([&] {
    InstanceClaim claim = ClaimSingleInstance(temp.device());
    return claim.outcome == Outcome::kHandedOver && !claim.posted ? 0 : 1;
  });
  EXPECT_EQ(second.Wait(), 0);
}

TEST(SingleInstanceTest, TheProgramStartsAgainOnceTheRunningOneHasEnded) {
  TempDevice temp;
  // The first program dies without letting go of anything.
  Child crashed([&] {
    InstanceClaim claim = ClaimSingleInstance(temp.device());
    if (claim.outcome != Outcome::kFirst) return 1;
    _exit(0);
  });
  ASSERT_EQ(crashed.Wait(), 0);
  EXPECT_EQ(ClaimSingleInstance(temp.device()).outcome, Outcome::kFirst);
}

TEST(SingleInstanceTest, DevicesDoNotExcludeEachOther) {
  TempDevice one;
  TempDevice other;
  InstanceClaim first = ClaimSingleInstance(one.device());
  EXPECT_EQ(first.outcome, Outcome::kFirst);
  EXPECT_EQ(ClaimSingleInstance(other.device()).outcome, Outcome::kFirst);
}

}  // namespace
}  // namespace brevalo
