// The Options commands of the main window and the bound keys at run time.
#include <gtest/gtest.h>

#include <QLineEdit>

#include "app/main_commands.h"
#include "app/main_window_test_support.h"
#include "settings/preference_page.h"

namespace brevalo {
namespace {

class MainWindowOptionsTest : public testing::MainWindowFixture {
 protected:
  void Bind(int position, uint16_t key, int command) {
    const std::u16string n = std::u16string(1, static_cast<char16_t>(u'0' + position));
    ASSERT_TRUE(registry().SetDword(RegRoot::CurrentUser, u"Software\\Velmora\\Key", u"KeyVirt" + n, 1));
    ASSERT_TRUE(registry().SetDword(RegRoot::CurrentUser, u"Software\\Velmora\\Key", u"KeyCode" + n, key));
    ASSERT_TRUE(registry().SetDword(RegRoot::CurrentUser, u"Software\\Velmora\\Key", u"KeyCmd" + n, command));
  }
  // Runs the Preference page with `keys` pressed in it once it shows.
  void RunPreference(MainWindow& window, const std::function<void(PhoneWindow&)>& keys) {
    testing::WhenReady([&] { return screen().TopWindow() != &window; }, [&] { keys(*screen().TopWindow()); });
    window.Command(ID_PREFERENCE);
    testing::Drain();
  }
};

TEST_F(MainWindowOptionsTest, PreferenceOkRestartsTheAutomaticSaveAndFollowsTheTrayIcon) {
  MainWindow& window = Start();
  ASSERT_EQ(window.AutoSaveState().periodMs, 120000u);
  ASSERT_TRUE(window.MainTray().Shown());
  RunPreference(window, [&](PhoneWindow& page) {
    qobject_cast<QLineEdit*>(page.Control(IDC_PREF_MINUTES))->setText("5");
    page.SetFocusControl(IDC_PREF_TRAY_ICON);
    Press(PhoneKey::Action);
    Press(PhoneKey::Soft1);
  });
  EXPECT_EQ(window.AutoSaveState().periodMs, 300000u);
  EXPECT_FALSE(window.MainTray().Shown());
  Registry saved(device().RegistryFile());
  ASSERT_TRUE(saved.Load());
  EXPECT_EQ(saved.QueryDword(RegRoot::CurrentUser, kSettingsKey, u"SaveDuration"), 5u);
  EXPECT_EQ(saved.QueryDword(RegRoot::CurrentUser, kSettingsKey, u"ShowTrayIcon"), 0u);
}

TEST_F(MainWindowOptionsTest, PreferenceCancelStoresAndAppliesNothing) {
  MainWindow& window = Start();
  RunPreference(window, [&](PhoneWindow& page) {
    qobject_cast<QLineEdit*>(page.Control(IDC_PREF_MINUTES))->setText("9");
    Press(PhoneKey::Soft2);
  });
  EXPECT_EQ(window.AutoSaveState().periodMs, 120000u);
  EXPECT_EQ(window.CurrentSettings()->SaveDuration, 2);
}

TEST_F(MainWindowOptionsTest, SeveralBindingsOnOneKeyAllFire) {
  Bind(0, 0x35, ID_MINIMIZE);
  Bind(1, 0x35, ID_OK);  // hides too, and so counts a second hide
  MainWindow& window = Start();
  Press(PhoneKey::Digit5);
  EXPECT_EQ(window.HideCount(), 3u);
}

TEST_F(MainWindowOptionsTest, AHeldKeyRunsItsCommandOnce) {
  Bind(0, 0x35, ID_MINIMIZE);
  MainWindow& window = Start();
  // The press and its repeats queue before the window takes any of them.
  screen().HoldKey(PhoneKey::Digit5, 4);
  testing::Drain();
  EXPECT_EQ(window.HideCount(), 2u);
  window.Show(false);
  EXPECT_EQ(window.HideCount(), 2u) << "no repeat was left waiting";
}

TEST_F(MainWindowOptionsTest, TheOptionsItemsAreOffered) {
  MainWindow& window = Start();
  Press(PhoneKey::Soft1);
  PopupMenu& system = *screen().OpenMenu()->Levels().front().menu;
  for (int id : {ID_PREFERENCE, ID_SMS_OPTIONS, ID_ALERT, ID_HOTKEY, ID_SECURITY}) {
    ASSERT_NE(system.Find(id), nullptr) << id;
    EXPECT_TRUE(system.Find(id)->enabled) << id;
  }
  Press(PhoneKey::Soft1);
  (void)window;
}

}  // namespace
}  // namespace brevalo
