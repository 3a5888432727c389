// Group sending without its window, against the device's real sms.dll: the rows a list gives,
// what each number's status becomes as the network accepts or rejects it, the message class,
// and a library that will not open.
#include "send/group_sender.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "device/com_test_support.h"
#include "device/kernel_test_support.h"
#include "device/phone_database.h"
#include "device/phone_library_test_support.h"

namespace brevalo {
namespace {

using namespace std::chrono_literals;

TEST(GroupSendRowsTest, OneRowPerPieceWithANumberShowingTheName) {
  std::vector<GroupSendRow> rows = GroupSendRows(u"\"Ann Lee\"<555-0101>;;5550102;\"Nobody\"<>;");
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].name, u"AnnLee");
  EXPECT_EQ(rows[0].number, u"5550101");
  EXPECT_EQ(rows[1].name, u"5550102");
  EXPECT_EQ(rows[1].number, u"5550102");
  EXPECT_TRUE(GroupSendRows(u"").empty());
  EXPECT_TRUE(GroupSendRows(u" ; ;").empty());
}

TEST(GroupSendCommandTest, OkAndCancelByStage) {
  using A = GroupSendAction;
  using S = GroupSendStage;
  EXPECT_EQ(GroupSendCommand(S::kReady, true, false), A::kStart);
  EXPECT_EQ(GroupSendCommand(S::kReady, false, false), A::kEndCancelled);
  EXPECT_EQ(GroupSendCommand(S::kSending, true, false), A::kIgnore);
  EXPECT_EQ(GroupSendCommand(S::kSending, false, false), A::kIgnore);
  EXPECT_EQ(GroupSendCommand(S::kDone, true, false), A::kEndSent);
  EXPECT_EQ(GroupSendCommand(S::kDone, false, false), A::kIgnore);
  // Nothing went out: OK leaves, but not as a sent message.
  EXPECT_EQ(GroupSendCommand(S::kDone, true, true), A::kEndCancelled);
}

class NullSink : public SendResultSink {
 public:
  void DeliverResult(SendRecord&, int) override {}
};

class GroupSenderTest : public ::testing::Test {
 protected:
  GroupSenderTest() : loader_(device_.device(), u"\\Program Files\\Velmora\\") {}
  void SetUp() override {
    ASSERT_FALSE(testing::InstallFile(device_.device(), std::string(BREVALO_LIB_DIR) + "/sms.so",
                                      "Windows/sms.dll").empty());
    transport_ = std::make_unique<SmsTransport>(device_.device(), loader_);
    ASSERT_TRUE(transport_->Start(&sink_));
  }
  void TearDown() override { transport_->Stop(); }

  struct Run {
    std::vector<std::pair<size_t, GroupRowStatus>> rows;
    bool done = false;
    bool opened = false;
  };
  Run Send(std::vector<std::u16string> numbers, std::u16string text, bool flash) {
    Run run;
    std::mutex mutex;
    std::condition_variable changed;
    GroupSender::Observer observer;
    observer.row = [&](size_t row, GroupRowStatus status) {
      std::lock_guard hold(mutex);
      run.rows.emplace_back(row, status);
    };
    observer.done = [&](bool opened) {
      std::lock_guard hold(mutex);
      run.done = true;
      run.opened = opened;
      changed.notify_all();
    };
    GroupSender sender(transport_->EntryPoints(), std::move(numbers), std::move(text), flash, observer);
    sender.Start();
    {
      std::unique_lock hold(mutex);
      EXPECT_TRUE(changed.wait_for(hold, 5s, [&] { return run.done; }));
    }
    sender.Join();
    EXPECT_TRUE(sender.Finished());
    return run;
  }
  std::vector<OutboxEntry> Outbox() {
    std::vector<OutboxEntry> entries;
    auto db = PhoneDatabase::OpenDevice(device_.device());
    EXPECT_TRUE(db != nullptr && db->ListOutbox(&entries));
    return entries;
  }

  testing::TempDevice device_;
  ModuleLoader loader_;
  NullSink sink_;
  std::unique_ptr<SmsTransport> transport_;
};

TEST_F(GroupSenderTest, EachRowIsSendingThenItsOutcomeAndARejectedNumberDoesNotStopTheOthers) {
  testing::SetNetworkFault(device_, u"RejectNumbers", u"5550102");
  // With the setting on, the queue would ask for a report; group sending never does.
  Run run = Send({u"5550101", u"5550102", u"5550103"}, u"Meeting at 10", false);
  EXPECT_TRUE(run.opened);
  using S = GroupRowStatus;
  EXPECT_EQ(run.rows, (std::vector<std::pair<size_t, S>>{{0, S::kSending}, {0, S::kSuccess},
                                                          {1, S::kSending}, {1, S::kFail},
                                                          {2, S::kSending}, {2, S::kSuccess}}));
  std::vector<OutboxEntry> outbox = Outbox();
  ASSERT_EQ(outbox.size(), 2u);
  EXPECT_EQ(outbox[0].recipient, u"5550101");
  EXPECT_EQ(outbox[1].recipient, u"5550103");
  for (const OutboxEntry& entry : outbox) {
    EXPECT_EQ(entry.text, u"Meeting at 10");
    EXPECT_EQ(entry.messageClass, PS_MESSAGE_CLASS1);
    EXPECT_FALSE(entry.statusReport);
  }
}

TEST_F(GroupSenderTest, FlashGoesOutAsClassZeroAndAnEmptyOrOverlongNumberIsSkippedOrFails) {
  Run run = Send({u"5550101", u"", std::u16string(300, u'7')}, u"闪信", true);
  using S = GroupRowStatus;
  EXPECT_EQ(run.rows, (std::vector<std::pair<size_t, S>>{{0, S::kSending}, {0, S::kSuccess},
                                                          {2, S::kSending}, {2, S::kFail}}));
  std::vector<OutboxEntry> outbox = Outbox();
  ASSERT_EQ(outbox.size(), 1u);
  EXPECT_EQ(outbox[0].messageClass, PS_MESSAGE_CLASS0);
  EXPECT_EQ(outbox[0].text, u"闪信");
}

TEST_F(GroupSenderTest, ALibraryThatWillNotOpenEndsTheRunWithoutSendingAnything) {
  testing::SetFailOpen(device_, 1);
  Run run = Send({u"5550101", u"5550102"}, u"never", false);
  EXPECT_TRUE(run.done);
  EXPECT_FALSE(run.opened);
  EXPECT_TRUE(run.rows.empty());
  EXPECT_TRUE(Outbox().empty());
  // Unbound entry points (no sms.dll) end the same way.
  Run unbound;
  GroupSender sender(SmsEntryPoints{}, {u"5550101"}, u"x", false,
                     {nullptr, [&](bool opened) { unbound.opened = opened; unbound.done = true; }});
  sender.Start();
  sender.Join();
  EXPECT_TRUE(unbound.done);
  EXPECT_FALSE(unbound.opened);
}

// A text longer than one SMS goes to the network whole, as one message: the emulated library
// neither cuts it into segments nor refuses it.
TEST_F(GroupSenderTest, ATextLongerThanOneSmsReachesTheNetworkWhole) {
  std::u16string text;
  for (int i = 0; i < 40; ++i) text += u"long 长文本 ";
  ASSERT_GT(text.size(), 300u);
  Run run = Send({u"5550101"}, text, false);
  ASSERT_EQ(run.rows.back().second, GroupRowStatus::kSuccess);
  std::vector<OutboxEntry> outbox = Outbox();
  ASSERT_EQ(outbox.size(), 1u);
  EXPECT_EQ(outbox[0].text, text);
}

}  // namespace
}  // namespace brevalo
