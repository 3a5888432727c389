// The main window's Import SMS... command with its dialog, driven by keys: ticking rows,
// the menu's marks and choices, Import and Cancel.
#include <string>
#include <vector>

#include "app/import_dialog.h"
#include "app/main_commands.h"
#include "app/main_window_test_support.h"
#include "device/mapi_session.h"
#include "device/phone_database.h"
#include "device/phone_database_test_support.h"
#include "store/node_title.h"

namespace brevalo {
namespace {

constexpr std::u16string_view kDocument = u"\\My Documents\\sms.kvt";

class MainWindowImportTest : public testing::MainWindowFixture {
 protected:
  void SetUp() override {
    phone_ = PhoneDatabase::OpenDevice(device());
    ASSERT_NE(phone_, nullptr);
    ASSERT_TRUE(phone_->EnsureStore(kSmsStoreName));
    MapiUseDevice(device().Dir());
    for (std::u16string text : {u"one", u"two", u"three"}) Put(PhoneFolder::Inbox, text);
    Put(PhoneFolder::Sent, u"sent one");
    WriteLastDocument(kDocument, [](OpenDocument& doc) { doc.FindOrCreateFolder(u"\\Keep"); });
    SetSetting(u"ImportTitle", kTitleSummary);
    MainWindow& window = Start();
    keep_ = window.Document().Tree().Root().Child(0);
    window.Select(keep_);
  }

  void Put(PhoneFolder folder, std::u16string text) {
    PhoneMessage message;
    message.folder = folder;
    message.sender = u"+4930555";
    message.text = std::move(text);
    FILETIME now = GetSystemTimeAsFileTime();
    message.deliveryTime = static_cast<uint64_t>(now.dwHighDateTime) << 32 | now.dwLowDateTime;
    ASSERT_TRUE(phone_->AddMessage(message));
  }

  ImportDialog* Dialog() { return dynamic_cast<ImportDialog*>(screen().TopWindow()); }
  void Key(PhoneKey key) {
    screen().PressKey(key);
    screen().ReleaseKey(key);
  }
  std::vector<bool> Ticks() {
    std::vector<bool> ticks;
    for (const ImportEntry& row : Dialog()->Rows()) ticks.push_back(row.ticked);
    return ticks;
  }
  std::vector<std::u16string> Children() {
    std::vector<std::u16string> labels;
    for (size_t i = 0; i < keep_->ChildCount(); ++i) labels.push_back(keep_->Child(i)->Label());
    return labels;
  }
  std::vector<std::u16string> PhoneTexts(PhoneFolder folder) {
    return testing::PhoneFolderTexts(*phone_, folder);
  }
  // Runs `steps` inside the dialog once it shows, then Import SMS... from the main window.
  int RunImport(const std::function<void(ImportDialog&)>& steps) {
    int shown = 0;
    testing::WhenReady([this] { return Dialog() != nullptr; }, [&] {
      ++shown;
      steps(*Dialog());
    });
    window_->Command(ID_IMPORT_SMS);
    return shown;
  }

  std::unique_ptr<PhoneDatabase> phone_;
  TreeNode* keep_ = nullptr;
};

TEST_F(MainWindowImportTest, TicksWithActionAndImportsThemInListOrderDeletingThePhoneCopies) {
  std::vector<std::vector<bool>> ticks;
  bool deleteMarked = true, inboxMarked = false;
  ASSERT_EQ(RunImport([&](ImportDialog& dialog) {
              EXPECT_EQ(screen().TopWindow()->Title(), "Import SMS");
              EXPECT_EQ(dialog.SelectedRow(), 0) << "the first row is selected";
              Key(PhoneKey::Action);
              Key(PhoneKey::Down);
              Key(PhoneKey::Down);
              Key(PhoneKey::Action);
              ticks.push_back(Ticks());
              Key(PhoneKey::Action);  // again: unticked
              ticks.push_back(Ticks());
              Key(PhoneKey::Action);
              Key(PhoneKey::Soft2);  // the menu, prepared as it opens
              const MenuNavigator* menu = screen().OpenMenu();
              if (menu != nullptr) {
                PopupMenu& shown = *menu->Levels().front().menu;
                deleteMarked = shown.Find(ID_IMPORT_DELETE_AFTER)->checked;
                inboxMarked = shown.Find(ID_IMPORT_FROM_INBOX)->checked && shown.Find(ID_IMPORT_FROM_INBOX)->radio &&
                              !shown.Find(ID_IMPORT_FROM_SENT)->checked;
              }
              Key(PhoneKey::Back);
              dialog.Command(ID_IMPORT_DELETE_AFTER);
              Key(PhoneKey::Soft1);  // Import
            }),
            1);
  ASSERT_EQ(ticks.size(), 2u);
  EXPECT_EQ(ticks[0], (std::vector<bool>{true, false, true}));
  EXPECT_EQ(ticks[1], (std::vector<bool>{true, false, false}));
  EXPECT_FALSE(deleteMarked);
  EXPECT_TRUE(inboxMarked);
  EXPECT_EQ(Children(), (std::vector<std::u16string>{u"one", u"three"}));
  EXPECT_EQ(keep_->Child(0)->Image(), kImageRead);
  EXPECT_EQ(PhoneTexts(PhoneFolder::Inbox), (std::vector<std::u16string>{u"two"}));
  EXPECT_EQ(window_->CurrentSettings()->SmsDelete, 1);
  EXPECT_EQ(screen().OpenMessageBox(), nullptr) << "nothing to report";
}

TEST_F(MainWindowImportTest, SwitchingFoldersListsAgainOnlyOnAChangeAndCheckAllTicksEveryRow) {
  std::vector<size_t> sizes;
  std::vector<int> listings;
  RunImport([&](ImportDialog& dialog) {
    dialog.Command(ID_IMPORT_FROM_INBOX);  // the inbox already
    listings.push_back(dialog.Listings());
    dialog.Command(ID_IMPORT_FROM_SENT);
    listings.push_back(dialog.Listings());
    sizes.push_back(dialog.Rows().size());
    dialog.Command(ID_IMPORT_FROM_SENT);
    dialog.Command(ID_IMPORT_FROM_INBOX);
    listings.push_back(dialog.Listings());
    sizes.push_back(dialog.Rows().size());
    dialog.Command(ID_IMPORT_CHECK_ALL);
    EXPECT_EQ(Ticks(), (std::vector<bool>{true, true, true}));
    dialog.Command(ID_IMPORT_UNCHECK_ALL);
    EXPECT_EQ(Ticks(), (std::vector<bool>{false, false, false}));
    dialog.Command(ID_IMPORT_FROM_SENT);
    dialog.Command(ID_IMPORT_CHECK_ALL);
    Key(PhoneKey::Soft1);
  });
  EXPECT_EQ(listings, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(sizes, (std::vector<size_t>{1, 3}));
  EXPECT_EQ(Children(), (std::vector<std::u16string>{u"sent one"}));
  EXPECT_EQ(window_->CurrentSettings()->ImportSource, 1);
  EXPECT_EQ(PhoneTexts(PhoneFolder::Sent).size(), 1u) << "Delete After Import is off";
}

TEST_F(MainWindowImportTest, CancelAndTheOkCommandCopyNothing) {
  for (int command : {IDCANCEL, IDOK}) {
    RunImport([&](ImportDialog& dialog) {
      dialog.Command(ID_IMPORT_CHECK_ALL);
      dialog.Command(command);
    });
    EXPECT_TRUE(Children().empty());
    EXPECT_FALSE(window_->Document().Store().TreeChanged());
  }
  EXPECT_EQ(PhoneTexts(PhoneFolder::Inbox).size(), 3u);
}

}  // namespace
}  // namespace brevalo
