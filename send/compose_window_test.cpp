// The compose window and its timer on a phone screen, driven by keys and read through the screen
// dump: the counter and the signature, picked recipients, the checks, Save keeping one draft,
// the timer and Status Report.
#include <gtest/gtest.h>

#include "send/compose_window.h"
#include "send/memory_list_file.h"
#include "send/send_record.h"
#include "send/timer_dialog.h"
#include "ui/phone_screen.h"
#include "ui/screen_dump.h"
#include "ui/ui_test_support.h"

namespace brevalo {
namespace {

using testing::WhenReady;

class ComposeWindowTest : public ::testing::Test {
 protected:
  ComposeWindowTest()
      : groupFile_(testing::ListFileBytes({u"[Team]", u"Tom|100", u"Tess|101"})),
        sentenceFile_(testing::ListFileBytes({})),
        directory_([](ContactDirectory& directory) {
          directory.AddContact(u"Ann Lee", u"", {u"5550101", u"", u""});
          directory.AddContact(u"Bob Stone", u"", {u"5550102", u"", u""});
        }),
        sentences_(sentenceFile_),
        notify_(fixture_.screen(), "Brevalo") {
    directory_.Groups().Load(groupFile_);
    services_.contacts = &directory_;
    services_.sentences = &sentences_;
    services_.statusReport = &statusReport_;
    services_.notify = &notify_;
    services_.nowText = [](bool date) { return date ? std::u16string(u"12/9/2026") : std::u16string(u"7:05:00 PM"); };
  }
  PhoneScreen& screen() { return fixture_.screen(); }
  bool Shows(const std::string& title) {
    nlohmann::json shown = DumpScreen(screen());
    return shown["title"] == title && shown["enabled"] == true && shown["messageBox"].is_null() &&
           shown["menu"].is_null();
  }
  nlohmann::json Control(int id) { return testing::ShownControl(screen(), id); }
  std::string Text(int id) { return Control(id)["text"]; }
  void Press(PhoneKey key, int times = 1) {
    for (int i = 0; i < times; ++i) screen().PressKey(key);
  }
  void Command(int id) { screen().TopWindow()->Command(id); }
  int Run(ComposeFields fields = {}, ComposeMode mode = ComposeMode::kNew) {
    return RunComposeWindow(screen(), services_, mode, fields);
  }

  testing::ScreenFixture fixture_;
  testing::MemoryListFile groupFile_;
  testing::MemoryListFile sentenceFile_;
  ContactDirectory directory_;
  SentenceList sentences_;
  testing::RecordingWindow notify_;
  int32_t statusReport_ = 0;
  ComposeServices services_;
};

TEST_F(ComposeWindowTest, TheCounterFollowsTheBodyWithTheSignatureAfterTheCaret) {
  services_.sign = u" --Ann";
  std::string opened, latin, chinese, body, focus;
  WhenReady([&] { return Shows("Send SMS"); }, [&] {
    opened = Text(IDC_COMPOSE_COUNTER);
    focus = Control(IDC_COMPOSE_RECIPIENTS)["inputMode"];
    Press(PhoneKey::Down);  // into the body, where the caret waits before the signature
    screen().TypeText("abcdefghij");
    latin = Text(IDC_COMPOSE_COUNTER);
    screen().TypeText("中");
    chinese = Text(IDC_COMPOSE_COUNTER);
    body = Text(IDC_COMPOSE_BODY);
    Command(ID_COMPOSE_CANCEL);
  });
  EXPECT_EQ(Run(), ID_COMPOSE_CANCEL);
  EXPECT_EQ(opened, "6/160") << "the signature counts";
  EXPECT_EQ(latin, "16/160");
  EXPECT_EQ(chinese, "17/70");
  EXPECT_EQ(body, "abcdefghij中 --Ann");
  EXPECT_EQ(focus, "123") << "recipients are typed as numbers";
}

TEST_F(ComposeWindowTest, PickedRecipientsFillAnEmptyFieldAndFollowATypedNumber) {
  std::string first, second, insertedInBody;
  // Each step is armed before the key that opens the next window, which runs in that key.
  auto pickAndReturn = [&](int downs, std::function<void()> then) {
    WhenReady([&, downs, then] { return Shows("Contacts"); }, [&, downs, then] {
      Press(PhoneKey::Down, downs);
      Press(PhoneKey::Action);
      WhenReady([&] { return Shows("Send SMS"); }, then);
      Press(PhoneKey::Soft1);  // Add
    });
  };
  WhenReady([&] { return Shows("Send SMS"); }, [&] {
    pickAndReturn(2, [&] {  // Ann Lee, below the group
      first = Text(IDC_COMPOSE_RECIPIENTS);
      pickAndReturn(1, [&] {  // the group Team
        second = Text(IDC_COMPOSE_RECIPIENTS);
        Press(PhoneKey::Down);  // the body: Insert Contact writes there
        pickAndReturn(3, [&] {  // Bob Stone
          insertedInBody = Text(IDC_COMPOSE_BODY);
          Command(ID_COMPOSE_CANCEL);
        });
        Command(ID_COMPOSE_INSERT_CONTACT);
      });
      Command(ID_COMPOSE_INSERT_CONTACT);  // the recipients have the focus: appended there
    });
    Press(PhoneKey::Action);  // the picker, with groups, from the empty recipients
  });
  Run();
  EXPECT_EQ(first, "\"Ann Lee\"<5550101>");
  EXPECT_EQ(second, "\"Ann Lee\"<5550101>;\"Tom\"<100>;\"Tess\"<101>");
  EXPECT_EQ(insertedInBody, "\"Bob Stone\"<5550102>");
}

TEST_F(ComposeWindowTest, SendAndSaveRefuseEmptyFieldsAndStayOpen) {
  std::vector<std::string> boxes;
  std::string caption;
  WhenReady([&] { return Shows("Send SMS"); }, [&] {
    WhenReady([&] { return screen().OpenMessageBox() != nullptr; }, [&] {
      boxes.push_back(screen().OpenMessageBox()->text.toStdString());
      caption = screen().OpenMessageBox()->caption.toStdString();
      Press(PhoneKey::Action);
      WhenReady([&] { return Shows("Send SMS"); }, [&] {
        screen().TypeText("5550101");
        WhenReady([&] { return screen().OpenMessageBox() != nullptr; }, [&] {
          boxes.push_back(screen().OpenMessageBox()->text.toStdString());
          Press(PhoneKey::Action);
          WhenReady([&] { return Shows("Send SMS"); }, [&] { Command(ID_COMPOSE_CANCEL); });
        });
        Command(ID_COMPOSE_SAVE);
      });
    });
    Press(PhoneKey::Soft1);  // Send
  });
  EXPECT_EQ(Run(), ID_COMPOSE_CANCEL);
  EXPECT_EQ(boxes, (std::vector<std::string>{"Phone Number can't be empty!", "Content can't be empty!"}));
  EXPECT_EQ(caption, "Error");
  EXPECT_TRUE(notify_.Of(WM_SMS_RESULT).empty()) << "nothing was saved";
}

TEST_F(ComposeWindowTest, SavingTwiceUpdatesTheDraftTheFirstSaveMade) {
  // The main window records a draft and writes its node back; here a stand-in does.
  std::vector<SendRecord> saved;
  TreeNode* const recorded = reinterpret_cast<TreeNode*>(uintptr_t{0x1000});
  notify_.onMessage = [&](uint32_t message, uintptr_t wParam, intptr_t lParam) -> intptr_t {
    if (message != WM_SMS_RESULT) return 0;
    auto* record = reinterpret_cast<SendRecord*>(wParam);
    EXPECT_EQ(lParam, SEND_RESULT_SAVED);
    saved.push_back(*record);
    record->node = recorded;
    record->nodeOffset = 77;
    return 0;
  };
  WhenReady([&] { return Shows("Send SMS"); }, [&] {
    screen().TypeText("5550101");
    Press(PhoneKey::Down);
    screen().TypeText("draft one");
    Command(ID_COMPOSE_SAVE);
    screen().TypeText(" and two");
    Command(ID_COMPOSE_SAVE);
    Command(ID_COMPOSE_CANCEL);
  });
  Run();
  ASSERT_EQ(saved.size(), 2u);
  EXPECT_EQ(saved[0].node, nullptr);
  EXPECT_EQ(saved[1].node, recorded);
  EXPECT_EQ(saved[1].nodeOffset, 77u);
  EXPECT_EQ(saved[1].text, u"draft one and two");
  EXPECT_EQ(saved[1].recipients, u"5550101");
  EXPECT_GE(notify_.Of(WM_SMS_REFRESH).size(), 2u) << "each Save refreshes the main window";
}

TEST_F(ComposeWindowTest, ASaveWithoutADocumentSaysSoAndKeepsTheMessage) {
  std::string box;
  WhenReady([&] { return Shows("Send SMS"); }, [&] {
    screen().TypeText("5550101");
    Press(PhoneKey::Down);
    screen().TypeText("keep me");
    WhenReady([&] { return screen().OpenMessageBox() != nullptr; }, [&] {
      box = screen().OpenMessageBox()->text.toStdString();
      Press(PhoneKey::Action);
      WhenReady([&] { return Shows("Send SMS"); }, [&] { Command(ID_COMPOSE_CANCEL); });
    });
    Command(ID_COMPOSE_SAVE);
  });
  Run();
  EXPECT_NE(box.find("could not be saved as a draft"), std::string::npos) << box;
}

// A queue without its thread (no sms.dll on the phone) would keep the message for ever and say
// nothing: Send says so and leaves the message in the window, to be saved.
TEST_F(ComposeWindowTest, WithoutARunningQueueSendSaysSoAndKeepsTheMessage) {
  ModuleLoader loader(fixture_.device(), u"\\Program Files\\Velmora\\");
  SmsTransport stopped(fixture_.device(), loader);
  services_.transport = &stopped;
  std::string box;
  bool stillOpen = false;
  WhenReady([&] { return Shows("Send SMS"); }, [&] {
    screen().TypeText("5550101");
    Press(PhoneKey::Down);
    screen().TypeText("hello");
    WhenReady([&] { return screen().OpenMessageBox() != nullptr; }, [&] {
      box = screen().OpenMessageBox()->text.toStdString();
      Press(PhoneKey::Action);
      WhenReady([&] { return Shows("Send SMS"); }, [&] {
        stillOpen = Text(IDC_COMPOSE_BODY) == "hello";
        Command(ID_COMPOSE_CANCEL);
      });
    });
    Press(PhoneKey::Soft1);
  });
  EXPECT_EQ(Run(), ID_COMPOSE_CANCEL);
  EXPECT_NE(box.find("cannot send messages now"), std::string::npos) << box;
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(stopped.QueuedCount(), 0u);
}

TEST_F(ComposeWindowTest, StatusReportTogglesTheSettingAndItsCheckMark) {
  bool markBefore = true, markAfter = false;
  auto mark = [&] {
    const nlohmann::json menu = DumpScreen(screen())["menu"];
    for (const nlohmann::json& item : menu["items"]) {
      if (item.value("text", "") == "Status Report") return item.value("checked", false);
    }
    return false;
  };
  WhenReady([&] { return Shows("Send SMS"); }, [&] {
    Press(PhoneKey::Soft2);
    markBefore = mark();
    Press(PhoneKey::Down, 2);
    Press(PhoneKey::Action);  // Status Report
    Press(PhoneKey::Soft2);
    markAfter = mark();
    Press(PhoneKey::Back);
    Command(ID_COMPOSE_CANCEL);
  });
  Run();
  EXPECT_FALSE(markBefore);
  EXPECT_TRUE(markAfter);
  EXPECT_EQ(statusReport_, 1);
}

TEST_F(ComposeWindowTest, ReplyAndResendOpenWithTheirFields) {
  std::string recipients, body;
  WhenReady([&] { return Shows("Send SMS"); }, [&] {
    recipients = Text(IDC_COMPOSE_RECIPIENTS);
    body = Text(IDC_COMPOSE_BODY);
    Command(ID_COMPOSE_CANCEL);
  });
  Run(FieldsFromMessage(ComposeMode::kResend, u"",
                        u"Send To:5550101;5550102\r\n--------------------\r\nline one\r\nline two"),
      ComposeMode::kResend);
  EXPECT_EQ(recipients, "5550101;5550102");
  EXPECT_EQ(body, "line one");
}

class TimerDialogTest : public ::testing::Test {
 protected:
  PhoneScreen& screen() { return fixture_.screen(); }
  nlohmann::json Control(int id) { return testing::ShownControl(screen(), id); }
  bool Shows() { return screen().TopWindow() && screen().TopWindow()->Title() == "Timer" && !screen().OpenMessageBox(); }
  testing::ScreenFixture fixture_;
  const SYSTEMTIME now_{2026, 12, 3, 9, 19, 5, 0, 0};
};

TEST_F(TimerDialogTest, CheckingTheBoxEnablesTheTimeAndOkStoresIt) {
  SYSTEMTIME sendTime{};
  bool enabledBefore = true, enabledAfter = false;
  std::string shown;
  WhenReady([&] { return Shows(); }, [&] {
    enabledBefore = Control(IDC_TIMER_TIME)["enabled"];
    shown = Control(IDC_TIMER_TIME)["text"];
    screen().PressKey(PhoneKey::Action);  // Set Timer
    enabledAfter = Control(IDC_TIMER_TIME)["enabled"];
    screen().PressKey(PhoneKey::Down);
    for (int i = 0; i < 16; ++i) screen().PressKey(PhoneKey::Back);
    screen().TypeText("202612091930");
    screen().PressKey(PhoneKey::Soft1);
  });
  EXPECT_EQ(RunTimerDialog(screen(), false, sendTime, now_), IDOK);
  EXPECT_FALSE(enabledBefore);
  EXPECT_TRUE(enabledAfter);
  EXPECT_EQ(shown, "2026-12-09 19:05");
  EXPECT_EQ(sendTime.wHour, 19);
  EXPECT_EQ(sendTime.wMinute, 30);
}

TEST_F(TimerDialogTest, ASetTimerShowsItsTimeAndCancelOrAnUncheckedBoxClearIt) {
  SYSTEMTIME sendTime{2026, 12, 3, 9, 21, 45, 0, 0};
  bool checked = false;
  std::string shown;
  WhenReady([&] { return Shows(); }, [&] {
    checked = Control(IDC_TIMER_SET)["checked"];
    shown = Control(IDC_TIMER_TIME)["text"];
    screen().PressKey(PhoneKey::Soft2);  // Cancel
  });
  EXPECT_EQ(RunTimerDialog(screen(), true, sendTime, now_), IDCANCEL);
  EXPECT_TRUE(checked);
  EXPECT_EQ(shown, "2026-12-09 21:45");
  WhenReady([&] { return Shows(); }, [&] {
    screen().PressKey(PhoneKey::Action);  // unchecked
    screen().PressKey(PhoneKey::Soft1);
  });
  EXPECT_EQ(RunTimerDialog(screen(), true, sendTime, now_), IDCANCEL);
}

TEST_F(TimerDialogTest, ATimeThatDoesNotExistKeepsTheDialogOpen) {
  SYSTEMTIME sendTime{};
  std::string box;
  WhenReady([&] { return Shows(); }, [&] {
    screen().PressKey(PhoneKey::Action);
    screen().PressKey(PhoneKey::Down);
    for (int i = 0; i < 16; ++i) screen().PressKey(PhoneKey::Back);
    screen().TypeText("202604311000");
    WhenReady([&] { return screen().OpenMessageBox() != nullptr; }, [&] {
      box = screen().OpenMessageBox()->text.toStdString();
      screen().PressKey(PhoneKey::Action);
      WhenReady([&] { return Shows(); }, [&] { screen().PressKey(PhoneKey::Soft2); });
    });
    screen().PressKey(PhoneKey::Soft1);
  });
  EXPECT_EQ(RunTimerDialog(screen(), false, sendTime, now_), IDCANCEL);
  EXPECT_NE(box.find("yyyy-MM-dd HH:mm"), std::string::npos) << box;
}

}  // namespace
}  // namespace brevalo
