#include "app/main_window.h"

#include <gtest/gtest.h>

#include "app/main_window_test_support.h"

#include "app/main_commands.h"
#include "channel/unread_counter.h"
#include "device/event_log.h"
#include "device/registry.h"
#include "ui/ui_test_support.h"

namespace brevalo {
namespace {

class MainWindowTest : public testing::MainWindowFixture {
 protected:
  // The last file of these tests is missing: the start says so once the window runs.
  void AnswerTheMissingLastFile() {
    testing::WhenReady([this] { return screen().OpenMessageBox() != nullptr; }, [this] {
      EXPECT_TRUE(screen().OpenMessageBox()->text.startsWith("The last document could not be opened."));
      screen().PressKey(PhoneKey::Soft1);
      screen().ReleaseKey(PhoneKey::Soft1);
      missingLastFileAnswered_ = true;
    });
  }
  // Waits until the box of the missing last file was shown and answered.
  bool MissingLastFileAnswered() {
    return testing::RunUntil([this] { return missingLastFileAnswered_; }, 3000);
  }
  bool missingLastFileAnswered_ = false;
  bool MainShowing() { return !screen().HomeShowing() && screen().TopWindow() == window_.get(); }
  bool TrayHas(int icon) {
    for (const NotifyIconData& data : screen().TrayIcons()) {
      if (data.icon == icon) return true;
    }
    return false;
  }
  size_t PluginNotifications() {
    size_t count = 0;
    for (const nlohmann::json& event : EventLog(device()).Read()) count += event["kind"] == "home-plugin-changed";
    return count;
  }
};

TEST_F(MainWindowTest, StartsShownWithItsTitleMenusTrayIconAndPublishedCount) {
  MainWindow& window = Start();
  EXPECT_TRUE(MainShowing());
  EXPECT_EQ(window.Title(), "Brevalo");
  EXPECT_EQ(window.MenuBar().left.label, u"System");
  EXPECT_EQ(window.MenuBar().right.label, u"Menu");
  EXPECT_TRUE(window.MenuBar().backKeyToWindow);
  EXPECT_TRUE(window.MainTray().Shown());
  EXPECT_EQ(window.MainTray().Data().id, 100u);
  EXPECT_TRUE(TrayHas(129));
  EXPECT_FALSE(window.UnreadTray().Shown());
  EXPECT_EQ(UnreadCounter::Peek(device()), 0u);
  EXPECT_EQ(window.HideCount(), 1u);
  ASSERT_NE(window.Filters(), nullptr);
}

TEST_F(MainWindowTest, WithoutShowTrayIconNoIconShows) {
  SetSetting(u"ShowTrayIcon", 0);
  MainWindow& window = Start();
  EXPECT_FALSE(window.MainTray().Shown());
  EXPECT_TRUE(screen().TrayIcons().empty());
}

TEST_F(MainWindowTest, AutoHideStartsHiddenAndATapOnTheTrayIconShowsTheWindow) {
  SetSetting(u"AutoHide", 1);
  MainWindow& window = Start();
  EXPECT_TRUE(screen().HomeShowing());
  EXPECT_EQ(window.HideCount(), 2u);
  Press(PhoneKey::Right);   // picks the program's icon on the home screen
  Press(PhoneKey::Action);  // taps it
  EXPECT_TRUE(MainShowing());
}

TEST_F(MainWindowTest, TrayMessagesShowOnlyOnTapsAndOnlyWhileTheWindowIsEnabled) {
  SetSetting(u"AutoHide", 1);
  MainWindow& window = Start();
  window.PostMessage(WM_TRAY_NOTIFY, 100, 0x0200);  // the pointer moving over the icon
  testing::Drain();
  EXPECT_TRUE(screen().HomeShowing());
  window.EnableWindow(false);  // a modal window of the program is up
  window.PostMessage(WM_TRAY_NOTIFY, 100, WM_LBUTTONDBLCLK);
  testing::Drain();
  EXPECT_TRUE(screen().HomeShowing());
  window.EnableWindow(true);
  window.PostMessage(WM_TRAY_NOTIFY, 100, WM_LBUTTONDBLCLK);
  testing::Drain();
  EXPECT_TRUE(MainShowing());
}

TEST_F(MainWindowTest, BackReleasedHidesAndEveryHideIsCounted) {
  MainWindow& window = Start();
  screen().PressKey(PhoneKey::Back);
  testing::Drain();
  EXPECT_TRUE(MainShowing()) << "the press alone does nothing";
  screen().ReleaseKey(PhoneKey::Back);
  testing::Drain();
  EXPECT_TRUE(screen().HomeShowing());
  EXPECT_EQ(window.HideCount(), 2u);
  window.Show(true);
  Press(PhoneKey::Soft1);
  Press(PhoneKey::Back);  // closes the menu, and letting go of it does not hide the window
  EXPECT_TRUE(MainShowing());
  EXPECT_EQ(window.HideCount(), 2u);
  window.Command(ID_MINIMIZE);
  window.Show(true);
  window.Command(ID_OK);
  EXPECT_EQ(window.HideCount(), 4u);
}

TEST_F(MainWindowTest, AutoHideWithALastFileAsksItsPasswordOnTheFirstShow) {
  SetSetting(u"AutoHide", 1);
  ASSERT_TRUE(registry().SetString(RegRoot::CurrentUser, kSettingsKey, u"LastOpenFile", u"\\My Documents\\sms.kvt"));
  MainWindow& window = Start();
  EXPECT_TRUE(window.SkipPasswordOnce());
  EXPECT_EQ(screen().OpenMessageBox(), nullptr) << "started hidden: nothing is said yet";
  AnswerTheMissingLastFile();
  window.Show(true);
  EXPECT_FALSE(window.SkipPasswordOnce());
  EXPECT_TRUE(MissingLastFileAnswered()) << "the missing last file is said on the first show";
}

TEST_F(MainWindowTest, NewMessageIndicationFollowsTheAlertSettings) {
  SetSetting(u"UnReadAlert", 1);
  SetSetting(u"AlertSecond", 30000);
  MainWindow& window = Start();
  window.SetNewMessageIndication(true);
  EXPECT_TRUE(window.NewMessageIndication());
  EXPECT_TRUE(window.UnreadTray().Shown());
  EXPECT_TRUE(TrayHas(158));
  EXPECT_TRUE(window.ReminderRunning());
  window.Command(ID_MINIMIZE);  // any command ends it
  EXPECT_FALSE(window.NewMessageIndication());
  EXPECT_FALSE(window.UnreadTray().Shown());
  EXPECT_FALSE(TrayHas(158));
  EXPECT_FALSE(window.ReminderRunning());
}

TEST_F(MainWindowTest, WithoutIconOrReminderTheIndicationShowsNothing) {
  SetSetting(u"UnReadIcon", 0);
  MainWindow& window = Start();  // UnReadAlert is 0 by default
  window.SetNewMessageIndication(true);
  EXPECT_TRUE(window.NewMessageIndication());
  EXPECT_FALSE(window.UnreadTray().Shown());
  EXPECT_FALSE(window.ReminderRunning());
}

TEST_F(MainWindowTest, OpeningAMenuEndsTheIndicationSuspendsHotKeysAndGraysWhatNeedsADocument) {
  MainWindow& window = Start();
  window.SetNewMessageIndication(true);
  ASSERT_TRUE(window.HotKeysRegistered());
  Press(PhoneKey::Soft1);
  const MenuNavigator* menu = screen().OpenMenu();
  ASSERT_NE(menu, nullptr);
  PopupMenu& system = *menu->Levels().front().menu;
  EXPECT_EQ(system.Title(), u"System");
  EXPECT_FALSE(system.Find(ID_SAVE)->enabled);
  EXPECT_TRUE(system.Find(ID_OPEN)->enabled);
  EXPECT_TRUE(system.Find(ID_EXIT)->enabled);
  EXPECT_FALSE(window.NewMessageIndication());
  EXPECT_FALSE(window.HotKeysRegistered());
}

TEST_F(MainWindowTest, ABoundKeyRunsItsCommand) {
  ASSERT_TRUE(registry().SetDword(RegRoot::CurrentUser, u"Software\\Velmora\\Key", u"KeyVirt0", 1));
  ASSERT_TRUE(registry().SetDword(RegRoot::CurrentUser, u"Software\\Velmora\\Key", u"KeyCode0", 0x35));
  ASSERT_TRUE(registry().SetDword(RegRoot::CurrentUser, u"Software\\Velmora\\Key", u"KeyCmd0", ID_MINIMIZE));
  MainWindow& window = Start();
  Press(PhoneKey::Digit5);
  EXPECT_TRUE(screen().HomeShowing());
  EXPECT_EQ(window.HideCount(), 2u);
  EXPECT_FALSE(window.HotKeysRegistered()) << "a hidden window holds no hot keys";
}

TEST_F(MainWindowTest, AModalWindowOverTheMainWindowGetsTheBoundKeysUntilItEnds) {
  ASSERT_TRUE(registry().SetDword(RegRoot::CurrentUser, u"Software\\Velmora\\Key", u"KeyVirt0", 1));
  ASSERT_TRUE(registry().SetDword(RegRoot::CurrentUser, u"Software\\Velmora\\Key", u"KeyCode0", 0x35));
  ASSERT_TRUE(registry().SetDword(RegRoot::CurrentUser, u"Software\\Velmora\\Key", u"KeyCmd0", ID_MINIMIZE));
  MainWindow& window = Start();
  bool heldDuringDialog = true;
  testing::WhenReady([&] { return screen().TopWindow() != &window; }, [&] {
    heldDuringDialog = window.HotKeysRegistered();
    Press(PhoneKey::Digit5);  // the About box's key now, not Minimize
    Press(PhoneKey::Soft1);
  });
  window.Command(ID_ABOUT);
  testing::Drain();
  EXPECT_FALSE(heldDuringDialog);
  EXPECT_EQ(window.HideCount(), 1u);
  EXPECT_TRUE(window.HotKeysRegistered()) << "given back when the About box ended";
  Press(PhoneKey::Digit5);
  EXPECT_EQ(window.HideCount(), 2u);
}

TEST_F(MainWindowTest, TheFirstKeyAfterAMenuGivesTheHotKeysBackAndCountsAsOne) {
  ASSERT_TRUE(registry().SetDword(RegRoot::CurrentUser, u"Software\\Velmora\\Key", u"KeyVirt0", 1));
  ASSERT_TRUE(registry().SetDword(RegRoot::CurrentUser, u"Software\\Velmora\\Key", u"KeyCode0", 0x35));
  ASSERT_TRUE(registry().SetDword(RegRoot::CurrentUser, u"Software\\Velmora\\Key", u"KeyCmd0", ID_MINIMIZE));
  MainWindow& window = Start();  // no document: the tree is hidden
  Press(PhoneKey::Soft2);
  Press(PhoneKey::Soft2);  // the menu closes again
  ASSERT_EQ(screen().OpenMenu(), nullptr);
  EXPECT_FALSE(window.HotKeysRegistered());
  Press(PhoneKey::Digit5);
  EXPECT_EQ(window.HideCount(), 2u) << "the bound key ran its command";
}

TEST_F(MainWindowTest, ExitClosesSavesAndKeepsTheLastFile) {
  ASSERT_TRUE(registry().SetString(RegRoot::CurrentUser, kSettingsKey, u"LastOpenFile", u"\\My Documents\\sms.kvt"));
  AnswerTheMissingLastFile();
  MainWindow& window = Start();
  ASSERT_TRUE(MissingLastFileAnswered());
  size_t before = PluginNotifications();
  window.Command(ID_EXIT);
  testing::Drain();
  EXPECT_TRUE(window.Destroyed());
  EXPECT_TRUE(screen().TrayIcons().empty());
  EXPECT_FALSE(window.HotKeysRegistered());
  EXPECT_EQ(UnreadCounter::Peek(device()), 0u);
  EXPECT_EQ(PluginNotifications(), before + 1);
  window.Teardown();
  EXPECT_FALSE(UnreadCounter::Peek(device())) << "the count is unpublished at the end";
  Registry after(device().RegistryFile());
  ASSERT_TRUE(after.Load());
  EXPECT_EQ(after.QueryDword(RegRoot::CurrentUser, kSettingsKey, u"SmsSource"), 0u) << "settings saved";
  EXPECT_EQ(after.QueryString(RegRoot::CurrentUser, kSettingsKey, u"LastOpenFile"), u"\\My Documents\\sms.kvt");
}

}  // namespace
}  // namespace brevalo
