// The main window's passwords as a person meets them: protected folders opened by the keys
// under each ProtectLevel, the Password... and File Password... commands, the document
// password at Open, at the start and when the window shows again, and the rule password.
#include <QTreeView>

#include <filesystem>

#include <gtest/gtest.h>

#include "app/folder_tree_model.h"
#include "app/main_commands.h"
#include "app/main_window.h"
#include "app/main_window_test_support.h"
#include "app/open_document_test_support.h"
#include "app/preview_window.h"
#include "store/document_filing.h"
#include "ui/ui_test_support.h"

namespace brevalo {
namespace {

using testing::Find;

constexpr std::u16string_view kDocument = u"\\My Documents\\sms.kvt";
constexpr int kOldPasswordBox = 1040;

class MainWindowProtectionTest : public testing::MainWindowFixture {
 protected:
  // Inbox { Work (password "boss") { w1 unread }, i1 (unread, password "mine") }, Recycle Bin;
  // `documentPassword` on the file; the last open file.
  void WriteDocument(std::u16string_view documentPassword = u"") {
    WriteLastDocument(kDocument, [&](OpenDocument& doc) {
      TreeNode* work = doc.FindOrCreateFolder(u"\\Inbox\\Work");
      doc.ToggleRecycleBin();
      CodePage page;
      NodeData data;
      data.offset = AppendMessageRecord(doc.Store(), page, u"5550100", CurrentOleDate(), u"at work");
      doc.Tree().InsertLastChild(*work, u"w1", kImageUnread, data);
      data.offset = AppendMessageRecord(doc.Store(), page, u"5550101", CurrentOleDate(), u"hello");
      TreeNode& i1 = doc.Tree().InsertLastChild(*work->Parent(), u"i1", kImageUnread, data);
      NodeProtection protection(doc);
      ASSERT_TRUE(protection.SetNodePassword(*work, u"boss", false));
      ASSERT_TRUE(protection.SetNodePassword(i1, u"mine", false));
      doc.Store().SetPassword(documentPassword);
      doc.Store().SetTreeChanged();
    });
  }
  MainWindow& StartWithLevel(int level) {
    WriteDocument();
    SetSetting(u"ProtectLevel", static_cast<uint32_t>(level));
    return Start();
  }
  bool PasswordDialogUp() {
    PhoneWindow* top = screen().TopWindow();
    return top && top->Title() == "Password" && top->IsWindowEnabled() && !screen().OpenMessageBox();
  }
  // Answers the next password dialog: types `text` into its first box (and, with `newText`, the
  // new password twice), then OK; null text cancels. Counts the dialogs.
  void AnswerPassword(const char* text, const char* newText = nullptr) {
    testing::WhenReady([this] { return PasswordDialogUp(); }, [this, text, newText] {
      ++dialogs_;
      if (!text) {
        PressKey(PhoneKey::Soft2);
        return;
      }
      if (*text) screen().TypeText(text);
      if (newText) {
        // The old password's box is left out while there is no old password.
        if (!screen().TopWindow()->Control(kOldPasswordBox)->isHidden()) PressKey(PhoneKey::Down);
        screen().TypeText(newText);
        PressKey(PhoneKey::Down);
        screen().TypeText(newText);
      }
      PressKey(PhoneKey::Soft1);
    });
  }
  void PressKey(PhoneKey key) {
    screen().PressKey(key);
    screen().ReleaseKey(key);
  }
  // The password dialog answered, and whatever it started finished.
  void Settle() {
    testing::RunUntil([this] { return !PasswordDialogUp(); }, 1000);
    testing::Drain();
  }
  std::string Selected() {
    TreeNode* node = window_->Selection();
    return node ? ToUtf8(node->Label()) : "";
  }
  bool Expanded(std::u16string_view label) {
    TreeNode* node = Find(window_->Document().Tree(), label);
    return node && window_->TreeView()->isExpanded(window_->TreeModel()->IndexOf(node));
  }
  // Minimize, then a tap on the tray icon.
  void HideAndShow() {
    window_->Command(ID_MINIMIZE);
    window_->PostMessage(WM_TRAY_NOTIFY, 100, WM_LBUTTONDOWN);
    testing::Drain();
  }
  bool MainShowing() { return !screen().HomeShowing() && screen().TopWindow() == window_.get(); }

  int dialogs_ = 0;
};

class ProtectLevelTest : public MainWindowProtectionTest, public ::testing::WithParamInterface<int> {};

TEST_P(ProtectLevelTest, TheLevelDecidesWhenAnUnlockedFolderAsksAgain) {
  const int level = GetParam();
  StartWithLevel(level);
  Press(PhoneKey::Right);  // Inbox has no password
  Press(PhoneKey::Down);
  ASSERT_EQ(Selected(), "Work");

  AnswerPassword(nullptr);
  Press(PhoneKey::Right);
  Settle();
  EXPECT_EQ(dialogs_, 1);
  EXPECT_FALSE(Expanded(u"Work")) << "a cancelled password leaves the folder closed";

  AnswerPassword("boss");
  Press(PhoneKey::Right);
  Settle();
  EXPECT_TRUE(Expanded(u"Work"));
  EXPECT_EQ(dialogs_, 2);

  // Closed and opened again without hiding: only Input Every Time asks.
  Press(PhoneKey::Left);
  if (level == kProtectEveryTime) AnswerPassword("boss");
  Press(PhoneKey::Right);
  Settle();
  EXPECT_TRUE(Expanded(u"Work"));
  EXPECT_EQ(dialogs_, level == kProtectEveryTime ? 3 : 2);

  // Hiding closes unlocked folders above level 0, and under level 1 makes the unlock stale.
  const int before = dialogs_;
  HideAndShow();
  ASSERT_TRUE(MainShowing());
  EXPECT_EQ(Expanded(u"Work"), level == kProtectOnlyOnce);
  EXPECT_TRUE(Expanded(u"Inbox")) << "no password, so it stays open";
  if (level != kProtectOnlyOnce) {
    AnswerPassword("boss");
    Press(PhoneKey::Right);
    Settle();
  }
  EXPECT_TRUE(Expanded(u"Work"));
  EXPECT_EQ(dialogs_, before + (level == kProtectOnlyOnce ? 0 : 1));
}

INSTANTIATE_TEST_SUITE_P(Levels, ProtectLevelTest,
                         ::testing::Values(kProtectOnlyOnce, kProtectAfterMinimize, kProtectEveryTime));

TEST_F(MainWindowProtectionTest, CommandsOnAProtectedNodeAskFirstAndACancelDoesNothing) {
  SetSetting(u"DeleteAlert", 0);
  MainWindow& window = StartWithLevel(kProtectEveryTime);
  Press(PhoneKey::Right);
  Press(PhoneKey::Down);
  ASSERT_EQ(Selected(), "Work");
  size_t inBin = window.Document().RecycleBin()->ChildCount();

  AnswerPassword(nullptr);
  window.Command(ID_EMPTY_FOLDER);
  Settle();
  EXPECT_EQ(Find(window.Document().Tree(), u"Work")->ChildCount(), 1u);

  AnswerPassword(nullptr);
  window.Command(ID_PROPERTY);
  Settle();
  EXPECT_EQ(screen().TopWindow(), &window) << "no property dialog after a cancel";

  AnswerPassword(nullptr);
  window.Command(ID_EXPORT_TXT);
  Settle();
  EXPECT_EQ(screen().TopWindow(), &window) << "no file browser after a cancel";

  AnswerPassword("boss");
  testing::WhenReady([this] { return screen().OpenMessageBox() != nullptr; },
                     [this] { PressKey(PhoneKey::Soft1); });
  window.Command(ID_EMPTY_FOLDER);  // then asks before emptying
  Settle();
  testing::RunUntil([&] { return Find(window.Document().Tree(), u"Work")->ChildCount() == 0; }, 1000);
  EXPECT_EQ(Find(window.Document().Tree(), u"Work")->ChildCount(), 0u);
  EXPECT_EQ(window.Document().RecycleBin()->ChildCount(), inBin + 1);
  EXPECT_EQ(dialogs_, 4);

  // The recycle bin never asks.
  window.Select(window.Document().RecycleBin());
  testing::WhenReady([this] { return screen().OpenMessageBox() != nullptr; },
                     [this] { PressKey(PhoneKey::Soft2); });
  window.Command(ID_EMPTY_FOLDER);
  testing::Drain();
  EXPECT_EQ(dialogs_, 4);
}

TEST_F(MainWindowProtectionTest, AProtectedMessageAsksBeforeItIsReadAndAProtectedFolderBeforeItIsPreviewed) {
  MainWindow& window = StartWithLevel(kProtectAfterMinimize);
  Press(PhoneKey::Right);
  Press(PhoneKey::Down);
  Press(PhoneKey::Down);
  ASSERT_EQ(Selected(), "i1");
  TreeNode& i1 = *Find(window.Document().Tree(), u"i1");

  AnswerPassword(nullptr);
  Press(PhoneKey::Action);
  Settle();
  EXPECT_EQ(i1.Image(), kImageUnread) << "not read without its password";
  AnswerPassword("mine");
  CloseViewWhenItOpens();
  Press(PhoneKey::Action);
  Settle();
  EXPECT_EQ(i1.Image(), kImageRead);
  EXPECT_EQ(dialogs_, 2);

  // Preview on the Inbox level; Work is the row above i1, and going into it asks.
  std::vector<std::string> titles;
  testing::WhenReady([&] { return dynamic_cast<PreviewWindow*>(screen().TopWindow()) != nullptr; }, [&] {
    AnswerPassword(nullptr);
    PressKey(PhoneKey::Up);
    PressKey(PhoneKey::Action);  // into Work: refused
    for (const PreviewWindow::Row& row : dynamic_cast<PreviewWindow*>(screen().TopWindow())->Rows()) {
      titles.push_back(row.title.toStdString());
    }
    PressKey(PhoneKey::Soft1);
  });
  window.Command(ID_PREVIEW);
  EXPECT_EQ(titles, (std::vector<std::string>{"..", "Work", "i1"})) << "still the Inbox level";
  EXPECT_EQ(dialogs_, 3);
}

TEST_F(MainWindowProtectionTest, PasswordCommandStampsTheNodeAndAnEmptyChangeRemovesThePassword) {
  MainWindow& window = StartWithLevel(kProtectOnlyOnce);
  ASSERT_EQ(Selected(), "Inbox");
  TreeNode& inbox = *Find(window.Document().Tree(), u"Inbox");

  AnswerPassword("", "abcdefghijk");  // no old password; eleven typed, ten kept
  window.Command(ID_PASSWORD);
  Settle();
  NodeProtection reader(window.Document());
  EXPECT_EQ(reader.NodePassword(inbox), u"abcdefghij");
  EXPECT_EQ(inbox.Data().unlock, kUnlockJustSet);
  // Set since the document was opened: under Only Once it opens without a prompt.
  Press(PhoneKey::Right);
  EXPECT_TRUE(Expanded(u"Inbox"));
  EXPECT_EQ(dialogs_, 1);

  AnswerPassword("abcdefghijk", "");  // the same eleven characters open it; no new one
  window.Command(ID_PASSWORD);
  Settle();
  EXPECT_EQ(reader.NodePassword(inbox), u"");
  EXPECT_EQ(inbox.Data().unlock, kUnlockNever);
  EXPECT_EQ(dialogs_, 2);
}

TEST_F(MainWindowProtectionTest, FilePasswordIsWrittenWithTheNextSaveAndOpenAsksIt) {
  MainWindow& window = StartWithLevel(kProtectOnlyOnce);
  AnswerPassword("", "doc");
  window.Command(ID_FILE_PASSWORD);
  Settle();
  EXPECT_TRUE(window.Document().Store().HeaderChanged());
  window.Command(ID_SAVE);

  AnswerPassword(nullptr);
  EXPECT_FALSE(window.OpenPath(kDocument));
  Settle();
  EXPECT_FALSE(window.Document().IsOpen()) << "a cancelled password closes the document";
  EXPECT_TRUE(window.TreeView()->isHidden());

  AnswerPassword("doc");
  EXPECT_TRUE(window.OpenPath(kDocument));
  Settle();
  EXPECT_TRUE(window.Document().IsOpen());
  EXPECT_EQ(Selected(), "Inbox");
  EXPECT_EQ(dialogs_, 3);
}

TEST_F(MainWindowProtectionTest, AStartShownAsksTheLastFilesPasswordAndACancelKeepsItTheLastFile) {
  WriteDocument(u"doc");
  // The window is not shown yet, so nothing disables it: a tap on the tray icon (or a second
  // start) must neither ask again nor put the window over the question.
  bool questionOnTop = false;
  testing::WhenReady([this] { return PasswordDialogUp(); }, [&] {
    window_->PostMessage(WM_TRAY_NOTIFY, 100, WM_LBUTTONDBLCLK);
    testing::Drain();
    questionOnTop = PasswordDialogUp();
    ++dialogs_;
    // Cancelled where it is, so that a question buried under the window cannot hold the test.
    for (PhoneWindow* shown : screen().ShownWindows()) {
      if (shown->Title() == "Password") shown->Command(IDCANCEL);
    }
  });
  MainWindow& window = Start();
  Settle();
  EXPECT_TRUE(questionOnTop);
  EXPECT_EQ(dialogs_, 1);
  EXPECT_FALSE(window.Document().IsOpen());
  EXPECT_TRUE(MainShowing());
  registry().Load();
  EXPECT_EQ(registry().QueryString(RegRoot::CurrentUser, kSettingsKey, u"LastOpenFile"), kDocument);
}

TEST_F(MainWindowProtectionTest, AHiddenStartAsksWhenFirstShownAndACancelHidesAgain) {
  WriteDocument(u"doc");
  SetSetting(u"AutoHide", 1);
  SetSetting(u"StartScreenSaveMin", 0);
  MainWindow& window = Start();
  EXPECT_EQ(dialogs_, 0) << "hidden: not asked yet";
  EXPECT_TRUE(window.Document().IsOpen());
  EXPECT_TRUE(window.SkipPasswordOnce());

  // A second tap, or a second start, while the dialog is up opens no second one.
  int passwordWindows = 0;
  testing::WhenReady([this] { return PasswordDialogUp(); }, [&] {
    window.PostMessage(WM_TRAY_NOTIFY, 100, WM_LBUTTONDBLCLK);
    testing::Drain();
    for (PhoneWindow* shown : screen().ShownWindows()) passwordWindows += shown->Title() == "Password";
    ++dialogs_;
    PressKey(PhoneKey::Soft2);
  });
  window.PostMessage(WM_TRAY_NOTIFY, 100, WM_LBUTTONDOWN);
  Settle();
  EXPECT_EQ(dialogs_, 1);
  EXPECT_EQ(passwordWindows, 1);
  EXPECT_TRUE(screen().HomeShowing()) << "Cancel hides the window again";
  EXPECT_EQ(window.HideCount(), 3u);
  EXPECT_TRUE(window.SkipPasswordOnce()) << "the question is still owed";

  AnswerPassword("doc");
  window.PostMessage(WM_TRAY_NOTIFY, 100, WM_LBUTTONDBLCLK);
  Settle();
  EXPECT_TRUE(MainShowing());
  EXPECT_FALSE(window.SkipPasswordOnce());

  // StartScreenSaveMin is off: showing again asks nothing.
  HideAndShow();
  EXPECT_TRUE(MainShowing());
  EXPECT_EQ(dialogs_, 2);
}

TEST_F(MainWindowProtectionTest, WithStartScreenSaveMinEveryShowAfterAHideAsks) {
  WriteDocument(u"doc");
  SetSetting(u"StartScreenSaveMin", 1);
  AnswerPassword("doc");
  MainWindow& window = Start();
  Settle();
  EXPECT_EQ(dialogs_, 1) << "asked at the start";
  ASSERT_TRUE(window.Document().IsOpen());

  AnswerPassword(nullptr);
  HideAndShow();
  Settle();
  EXPECT_EQ(dialogs_, 2);
  EXPECT_TRUE(screen().HomeShowing());
  EXPECT_TRUE(window.Document().IsOpen()) << "a cancelled show keeps the document open, hidden";

  AnswerPassword("doc");
  window.PostMessage(WM_TRAY_NOTIFY, 100, WM_LBUTTONDOWN);
  Settle();
  EXPECT_TRUE(MainShowing());
  EXPECT_EQ(dialogs_, 3);
}

TEST_F(MainWindowProtectionTest, TheRulePasswordIsAskedOnlyWhenSetAndAChangeReachesTheRulesFile) {
  const std::filesystem::path programFolder = device().FsRoot() / "Program Files" / "Velmora";
  std::filesystem::create_directories(programFolder);
  MainWindow& window = StartWithLevel(kProtectOnlyOnce);
  EXPECT_TRUE(window.AskRulePassword());
  EXPECT_EQ(dialogs_, 0);

  // A rules file that cannot be written: said, and the old (no) password stays.
  std::filesystem::remove_all(programFolder);
  QString said;
  AnswerPassword("", "lost");
  testing::WhenReady([this] { return screen().OpenMessageBox() != nullptr; }, [&] {
    said = screen().OpenMessageBox()->text;
    PressKey(PhoneKey::Soft1);
  });
  window.EditRulePassword();
  Settle();
  EXPECT_TRUE(said.startsWith("The rule password could not be written")) << said.toStdString();
  EXPECT_TRUE(window.AskRulePassword());
  EXPECT_EQ(dialogs_, 1);

  std::filesystem::create_directories(programFolder);
  AnswerPassword("", "rules");
  window.EditRulePassword();
  Settle();
  FilterEngine reread(window.Filters()->RulesPath());
  reread.LoadRules();
  EXPECT_EQ(reread.RulePassword(), u"rules");

  AnswerPassword(nullptr);
  EXPECT_FALSE(window.AskRulePassword());
  AnswerPassword("rules");
  EXPECT_TRUE(window.AskRulePassword());
  EXPECT_EQ(dialogs_, 4);
}

}  // namespace
}  // namespace brevalo
