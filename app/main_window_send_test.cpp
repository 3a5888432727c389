// The main window with the send queue on a device that has the phone's sms.dll: results come
// back to the window's thread, are recorded in the open document and announced.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/main_commands.h"
#include "app/main_window_test_support.h"
#include "device/com_test_support.h"
#include "device/event_log.h"
#include "device/phone_database.h"
#include "ui/screen_dump.h"
#include "ui/ui_test_support.h"

namespace brevalo {
namespace {

constexpr std::u16string_view kDocument = u"\\My Documents\\sent.kvt";

class MainWindowSendTest : public testing::MainWindowFixture {
 protected:
  void InstallSms() {
    ASSERT_FALSE(testing::InstallFile(device(), std::string(BREVALO_LIB_DIR) + "/sms.so",
                                      "Windows/sms.dll")
                     .empty());
  }
  MainWindow& StartWithDocument() {
    std::filesystem::create_directories(device().FsRoot() / "My Documents");
    MainWindow& window = Start();
    EXPECT_TRUE(window.Document().New(kDocument, StoreHeader{}, false));
    return window;
  }
  std::vector<std::string> Popups() {
    std::vector<std::string> texts;
    for (const nlohmann::json& event : EventLog(device()).Read()) {
      if (event["kind"] == "sent-popup") texts.push_back(event["text"].get<std::string>());
    }
    return texts;
  }
  size_t OutboxSize() {
    std::vector<OutboxEntry> entries;
    auto db = PhoneDatabase::OpenDevice(device());
    EXPECT_TRUE(db != nullptr && db->ListOutbox(&entries));
    return entries.size();
  }
};

TEST_F(MainWindowSendTest, ASentDraftMovesToTheSentBoxAndIsAnnounced) {
  InstallSms();
  SetSetting(u"SaveToSentBox", 0);
  SetSetting(u"SentAlert", 1);
  SetSetting(u"DisappearTime", 2500);
  MainWindow& window = StartWithDocument();
  ASSERT_NE(window.Transport(), nullptr);
  ASSERT_TRUE(window.Transport()->Running());
  OpenDocument& doc = window.Document();
  TreeNode* sentBox = doc.SpecialFolder(kSentBox);
  TreeNode* draft = doc.AddNode(doc.SpecialFolder(kDrafts), u"draft", kImageRead, u"hi");
  ASSERT_NE(draft, nullptr);

  window.Transport()->Enqueue(u"\"Ann Lee\"<555 0101>", u"hi", 0, nullptr, draft);
  ASSERT_TRUE(testing::RunUntil([&] { return sentBox->ChildCount() == 1; }));
  EXPECT_EQ(doc.SpecialFolder(kDrafts)->ChildCount(), 0u);
  EXPECT_EQ(sentBox->Child(0)->Image(), kImageRead);
  EXPECT_EQ(OutboxSize(), 1u);
  EXPECT_EQ(Popups(), (std::vector<std::string>{"Send to AnnLee Successfully!"}));
  nlohmann::json popup = DumpScreen(screen())["popup"];
  ASSERT_TRUE(popup.is_object()) << "the pop-up shows on the screen";
  EXPECT_NE(popup.dump().find("Send to AnnLee Successfully!"), std::string::npos) << popup.dump();

  // Not from a draft and not kept: only the pop-up tells of it.
  size_t nodes = doc.Tree().Count();
  window.Transport()->Enqueue(u" ;", u"nobody", 0, nullptr, nullptr);
  ASSERT_TRUE(testing::RunUntil([&] { return Popups().size() == 2; }));
  EXPECT_EQ(Popups()[1], "Send to  Fail!");
  EXPECT_EQ(doc.Tree().Count(), nodes);
}

TEST_F(MainWindowSendTest, ADraftSentWhileTheDeleteQuestionIsOpenIsRecordedAfterTheAnswer) {
  InstallSms();
  SetSetting(u"DeleteAlert", 1);
  SetSetting(u"SaveToSentBox", 1);
  MainWindow& window = StartWithDocument();
  OpenDocument& doc = window.Document();
  TreeNode* sentBox = doc.SpecialFolder(kSentBox);
  TreeNode* drafts = doc.SpecialFolder(kDrafts);
  TreeNode* draft = doc.AddNode(drafts, u"draft", kImageRead, u"hi");
  ASSERT_NE(draft, nullptr);
  window.Select(draft);

  bool recordedDuringTheQuestion = true;
  testing::WhenReady([this] { return screen().OpenMessageBox() != nullptr; }, [&] {
    // The send thread finishes the draft while the user reads the question; recording it would
    // take away the very node the question is about.
    window.Transport()->Enqueue(u"5550101", u"hi", 0, nullptr, draft);
    testing::RunUntil([&] { return OutboxSize() == 1; }, 5000);
    testing::RunUntil([] { return false; }, 400);
    recordedDuringTheQuestion = sentBox->ChildCount() != 0;
    screen().PressKey(PhoneKey::Soft1);
    screen().ReleaseKey(PhoneKey::Soft1);
  });
  window.Command(ID_DELETE);
  EXPECT_FALSE(recordedDuringTheQuestion);
  EXPECT_EQ(drafts->ChildCount(), 0u) << "the answer deleted the draft";
  ASSERT_TRUE(testing::RunUntil([&] { return sentBox->ChildCount() == 1; }, 3000))
      << "the sent message is recorded once the question is gone";
  EXPECT_EQ(OutboxSize(), 1u);
}

TEST_F(MainWindowSendTest, WithoutTheAlertAFailureIsKeptInTheOutboxSilently) {
  InstallSms();
  SetSetting(u"SaveToSentBox", 1);
  SetSetting(u"SentAlert", 0);
  MainWindow& window = StartWithDocument();
  window.Transport()->Enqueue(u"", u"to nobody", 0, nullptr, nullptr);
  ASSERT_TRUE(testing::RunUntil([&] {
    TreeNode* outbox = window.Document().SpecialFolder(kOutbox);
    return outbox != nullptr && outbox->ChildCount() == 1;
  }));
  EXPECT_TRUE(Popups().empty());
}

TEST_F(MainWindowSendTest, TheTeardownEndsTheSendThreadWhileResultsAreUnderWay) {
  InstallSms();
  SetSetting(u"SentAlert", 1);
  MainWindow& window = StartWithDocument();
  for (int i = 0; i < 20; ++i) window.Transport()->Enqueue(u"5550101", u"burst", 0, nullptr, nullptr);
  // Some results are waiting for this thread now; the teardown must answer them, not hang.
  window.Teardown();
  EXPECT_EQ(window.Transport(), nullptr);
}

// Reply..., Forward... and Resend... on the selected message open the compose window with the
// stored message's number, content, or the recipients and first line of a sent one.
TEST_F(MainWindowSendTest, ReplyForwardAndResendFillTheComposeWindowFromTheSelection) {
  MainWindow& window = StartWithDocument();
  OpenDocument& doc = window.Document();
  TreeNode* sent = doc.AddNode(doc.SpecialFolder(kSentBox), u"sent", kImageRead,
                               u"Send To:5550101;\"Bo\"<5550102>\r\n--------------------\r\nline one\r\nline two");
  ASSERT_NE(sent, nullptr);
  window.Select(sent);
  std::vector<std::pair<std::string, std::string>> opened;
  auto readAndCancel = [&] {
    testing::WhenReady([&] { return screen().TopWindow() && screen().TopWindow()->Title() == "Send SMS"; }, [&] {
      opened.emplace_back(testing::ShownControl(screen(), 1004)["text"], testing::ShownControl(screen(), 1003)["text"]);
      screen().TopWindow()->Command(40016);
    });
  };
  readAndCancel();
  window.Command(ID_RESEND);
  readAndCancel();
  window.Command(ID_FORWARD);
  readAndCancel();
  window.Command(ID_REPLY);  // a note of ours has no number
  ASSERT_EQ(opened.size(), 3u);
  EXPECT_EQ(opened[0], (std::pair<std::string, std::string>{"5550101;\"Bo\"<5550102>", "line one"}));
  EXPECT_EQ(opened[1].first, "");
  // Forward takes the whole content; the edit keeps its lines, written with line feeds.
  std::string forwarded = opened[1].second;
  std::erase(forwarded, '\r');
  EXPECT_EQ(forwarded, "Send To:5550101;\"Bo\"<5550102>\n--------------------\nline one\nline two");
  EXPECT_EQ(opened[2], (std::pair<std::string, std::string>{"", ""}));
}

TEST_F(MainWindowSendTest, WithoutSmsLibraryTheQueueStaysStopped) {
  MainWindow& window = Start();
  ASSERT_NE(window.Transport(), nullptr);
  EXPECT_FALSE(window.Transport()->Running());
  window.Transport()->Enqueue(u"5550101", u"never", 0, nullptr, nullptr);
  testing::Drain();
  EXPECT_TRUE(Popups().empty());
  EXPECT_EQ(OutboxSize(), 0u);
}

}  // namespace
}  // namespace brevalo
