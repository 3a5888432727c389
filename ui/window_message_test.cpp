#include "ui/window_messages.h"

#include <gtest/gtest.h>

#include <QThread>

#include <atomic>
#include <set>
#include <thread>

#include "ui/dialog_base.h"
#include "ui/ui_test_support.h"

namespace brevalo {
namespace {

using testing::RecordingWindow;

class WindowMessageTest : public ::testing::Test {
 protected:
  WindowMessageTest() : window_(fixture_.screen()) { fixture_.screen().ShowWindow(&window_, true); }
  testing::ScreenFixture fixture_;
  RecordingWindow window_;
};

TEST_F(WindowMessageTest, PostedMessagesWaitForTheLoopAndKeepTheirOrder) {
  window_.PostMessage(WM_SMS_REFRESH, 1, 0);
  window_.PostMessage(WM_SMS_RESULT, 2, -3);
  EXPECT_TRUE(window_.messages.empty());
  EXPECT_EQ(window_.QueuedMessageCount(), 2);
  EXPECT_EQ(fixture_.screen().PendingMessages(), 2);
  testing::Drain();
  ASSERT_EQ(window_.messages.size(), 2u);
  EXPECT_EQ(window_.messages[0].message, 1127u);
  EXPECT_EQ(window_.messages[1].message, 1126u);
  EXPECT_EQ(window_.messages[1].lParam, -3);
  EXPECT_EQ(fixture_.screen().PendingMessages(), 0);
}

TEST_F(WindowMessageTest, QueuedRepeatsCanBeDroppedButOtherMessagesStay) {
  window_.PostMessage(WM_HOTKEY, 5, 0);
  window_.PostMessage(WM_SMS_REFRESH, 0, 0);
  window_.PostMessage(WM_HOTKEY, 5, 0);
  EXPECT_EQ(window_.RemoveQueuedMessages(WM_HOTKEY), 2);
  testing::Drain();
  ASSERT_EQ(window_.messages.size(), 1u);
  EXPECT_EQ(window_.messages[0].message, WM_SMS_REFRESH);
  EXPECT_EQ(fixture_.screen().PendingMessages(), 0);
}

TEST_F(WindowMessageTest, SendOnTheWindowThreadRunsTheProcedureAtOnce) {
  window_.onMessage = [](uint32_t, uintptr_t wParam, intptr_t) -> intptr_t { return static_cast<intptr_t>(wParam) * 2; };
  EXPECT_EQ(window_.SendMessage(WM_SMS_ARRIVED, 21, 0), 42);
  EXPECT_EQ(window_.messages.size(), 1u);
}

TEST_F(WindowMessageTest, SendFromAnotherThreadBlocksUntilTheWindowThreadHandledIt) {
  std::atomic<bool> handled{false};
  window_.onMessage = [&](uint32_t message, uintptr_t, intptr_t) -> intptr_t {
    EXPECT_EQ(QThread::currentThread(), window_.thread());
    handled = message == WM_SMS_ARRIVED;
    return 7;
  };
  std::atomic<bool> returned{false};
  intptr_t answer = 0;
  std::thread sender([&] {
    answer = window_.SendMessage(WM_SMS_ARRIVED, 3, 0);
    EXPECT_TRUE(handled.load());  // the answer comes only after the handling
    returned = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_FALSE(returned.load());  // the window thread has not run its loop yet
  EXPECT_TRUE(testing::RunUntil([&] { return returned.load(); }));
  sender.join();
  EXPECT_EQ(answer, 7);
}

TEST_F(WindowMessageTest, AWindowThreadWaitingForTheSenderStillAnswersIt) {
  std::atomic<bool> finished{false};
  std::thread sender([&] {
    EXPECT_EQ(window_.SendMessage(WM_SMS_RESULT, 0, 0), 0);
    finished = true;
  });
  // The window thread waits for the thread to finish without running its event loop, as a
  // teardown that stops a thread does: the send must not deadlock.
  bool answered = PhoneWindow::WaitHandlingSentMessages([&] { return finished.load(); }, 5000);
  EXPECT_TRUE(answered);
  if (!answered) testing::RunUntil([&] { return finished.load(); });  // let the sender go
  sender.join();
  EXPECT_EQ(window_.Of(WM_SMS_RESULT).size(), 1u);
  window_.PostMessage(WM_SMS_REFRESH, 0, 0);
  EXPECT_FALSE(PhoneWindow::WaitHandlingSentMessages([] { return false; }, 30));
  EXPECT_TRUE(window_.Of(WM_SMS_REFRESH).empty());  // posted messages wait for the loop
  testing::Drain();
  EXPECT_EQ(window_.Of(WM_SMS_REFRESH).size(), 1u);
}

TEST_F(WindowMessageTest, SendsAreHandledInsideAModalDialogsLoop) {
  DialogBase dialog(fixture_.screen(), "Modal");
  std::thread sender;
  std::atomic<bool> answered{false};
  testing::WhenReady([&] { return dialog.IsModalRunning(); }, [&] {
    sender = std::thread([&] {
      window_.SendMessage(WM_SMS_ARRIVED, 0, 0);
      answered = true;
    });
    testing::WhenReady([&] { return answered.load(); }, [&] { dialog.EndDialog(IDOK); });
  });
  EXPECT_EQ(dialog.DoModal(), IDOK);
  sender.join();
  EXPECT_EQ(window_.Of(WM_SMS_ARRIVED).size(), 1u);
}

TEST(WindowMessageLifetimeTest, ASendToAWindowDestroyedMeanwhileAnswersZero) {
  testing::ScreenFixture fixture;
  auto window = std::make_unique<RecordingWindow>(fixture.screen());
  window->onMessage = [](uint32_t, uintptr_t, intptr_t) -> intptr_t { return 9; };
  std::atomic<intptr_t> answer{-1};
  std::thread sender([&] { answer = window->SendMessage(WM_SMS_RESULT, 0, 0); });
  // Waits without the event loop, which would answer the message.
  for (int i = 0; i < 500 && window->QueuedMessageCount() == 0; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  ASSERT_EQ(window->QueuedMessageCount(), 1);
  window.reset();
  sender.join();
  EXPECT_EQ(answer.load(), 0);
  EXPECT_EQ(fixture.screen().PendingMessages(), 0);
}

TEST_F(WindowMessageTest, TimersTickWithTheirIdentifierUntilKilled) {
  window_.SetTimer(3, 10);
  window_.SetTimer(4, 15);
  ASSERT_TRUE(testing::RunUntil([&] { return window_.Of(WM_TIMER).size() >= 6; }));
  std::set<uintptr_t> ids;
  for (const testing::RecordedMessage& tick : window_.Of(WM_TIMER)) ids.insert(tick.wParam);
  EXPECT_EQ(ids, (std::set<uintptr_t>{3, 4}));
  EXPECT_TRUE(window_.KillTimer(4));
  EXPECT_TRUE(window_.KillTimer(3));
  EXPECT_FALSE(window_.KillTimer(3));
  testing::Drain();
  window_.Clear();
  std::this_thread::sleep_for(std::chrono::milliseconds(40));
  testing::Drain();
  EXPECT_TRUE(window_.Of(WM_TIMER).empty());
}

TEST(WindowMessageNumbersTest, KeepTheNumbersTheyHaveOnThePhone) {
  EXPECT_EQ(WM_SMS_ARRIVED, 1124u);
  EXPECT_EQ(WM_SMS_RESULT, 1126u);
  EXPECT_EQ(WM_SMS_REFRESH, 1127u);
  EXPECT_EQ(WM_TRAY_NOTIFY, 1274u);
  EXPECT_EQ(WM_LBUTTONDBLCLK, 515u);
}

}  // namespace
}  // namespace brevalo
