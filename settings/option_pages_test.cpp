// The option pages driven with the phone's keys, on a throw-away device.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>

#include <filesystem>
#include <fstream>

#include "settings/alert_option_page.h"
#include "settings/hot_key_dialog.h"
#include "settings/preference_page.h"
#include "settings/program_folder.h"
#include "settings/security_page.h"
#include "settings/sms_setting_page.h"
#include "settings/host_device_files.h"
#include "ui/ui_test_support.h"

namespace brevalo {
namespace {
namespace fs = std::filesystem;

class OptionPagesTest : public ::testing::Test {
 protected:
  OptionPagesTest() : files_(fixture_.device()), settings_(files_), registry_(fixture_.device().RegistryFile()) {}
  PhoneScreen& screen() { return fixture_.screen(); }
  void Press(PhoneKey key) {
    screen().PressKey(key);
    screen().ReleaseKey(key);
    testing::Drain();
  }
  PhoneWindow* Top() { return screen().TopWindow(); }
  template <typename Widget>
  Widget* TopControl(int id) {
    return qobject_cast<Widget*>(Top()->Control(id));
  }
  // Runs `page` with `keys` pressed once it shows; the answer it ended with.
  int Run(DialogBase& page, const std::function<void()>& keys) {
    bool done = false;
    testing::WhenReady([&] { return Top() == &page; }, [&] {
      keys();
      done = true;
    });
    int result = page.DoModal();
    EXPECT_TRUE(done);
    return result;
  }

  testing::ScreenFixture fixture_;
  HostDeviceFiles files_;
  Settings settings_;
  Registry registry_;
};

TEST_F(OptionPagesTest, PreferenceRefusesZeroMinutesAndStoresEverythingOnOk) {
  fs::create_directories(fixture_.device().FsRoot() / "Windows" / "StartUp");
  SystemRegistration registration(fixture_.device(), registry_, kProgramFile);
  PreferencePage page(screen(), settings_, registration);
  bool stayed = false;
  int result = Run(page, [&] {
    EXPECT_TRUE(TopControl<QLineEdit>(IDC_PREF_MINUTES)->isEnabled());
    TopControl<QLineEdit>(IDC_PREF_MINUTES)->setText("0");
    Press(PhoneKey::Action);  // Auto Run, the focused box, is checked
    Press(PhoneKey::Soft1);
    stayed = Top() == &page && Top()->FocusedControlId() == IDC_PREF_MINUTES;
    TopControl<QLineEdit>(IDC_PREF_MINUTES)->setText("5");
    Press(PhoneKey::Soft1);
  });
  EXPECT_TRUE(stayed) << "0 minutes keeps the page open with the focus in the box";
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(settings_.SaveDuration, 5);
  EXPECT_EQ(settings_.AutoStart, 1);
  EXPECT_TRUE(fs::exists(fixture_.device().FsRoot() / "Windows" / "StartUp" / "Velmora.lnk"));
}

TEST_F(OptionPagesTest, AGrayMinutesBoxKeepsThePeriodStoredBefore) {
  SystemRegistration registration(fixture_.device(), registry_, kProgramFile);
  settings_.SaveDuration = 7;
  PreferencePage page(screen(), settings_, registration);
  Run(page, [&] {
    TopControl<QLineEdit>(IDC_PREF_MINUTES)->setText("0");
    Top()->SetFocusControl(IDC_PREF_AUTO_SAVE);
    Press(PhoneKey::Action);  // Auto Save off grays the box
    EXPECT_FALSE(TopControl<QLineEdit>(IDC_PREF_MINUTES)->isEnabled());
    Press(PhoneKey::Soft1);
  });
  EXPECT_EQ(settings_.AutoSave, 0);
  EXPECT_EQ(settings_.SaveDuration, 7);
}

TEST_F(OptionPagesTest, SmsSettingShowsOutOfRangeTitlesAsContactTimeAndRefusesNoSummary) {
  settings_.ReceiveTitle = 9;
  settings_.SendTitle = 0;
  SmsSettingPage page(screen(), settings_);
  bool stayed = false;
  Run(page, [&] {
    EXPECT_EQ(TopControl<QComboBox>(IDC_SMS_RECEIVE_TITLE)->currentText(), "Contact Time");
    EXPECT_EQ(TopControl<QComboBox>(IDC_SMS_SENT_TITLE)->currentText(), "Summary");
    TopControl<QLineEdit>(IDC_SMS_SUMMARY_LENGTH)->setText("");
    Press(PhoneKey::Soft1);
    stayed = Top() == &page && Top()->FocusedControlId() == IDC_SMS_SUMMARY_LENGTH;
    TopControl<QLineEdit>(IDC_SMS_SUMMARY_LENGTH)->setText("20");
    Top()->SetFocusControl(IDC_SMS_SENT_TITLE);
    Press(PhoneKey::Right);
    Press(PhoneKey::Soft1);
  });
  EXPECT_TRUE(stayed);
  EXPECT_EQ(settings_.ReceiveTitle, 2);
  EXPECT_EQ(settings_.SendTitle, 1);
  EXPECT_EQ(SummaryLength(), 20);
  SetSummaryLength(10);
}

TEST_F(OptionPagesTest, AlertOptionNeedsSecondsForAReminderAndStoresDefaultAsNoSkin) {
  settings_.SentSkin = u"\\Program Files\\Velmora\\skins\\Blue.cfg";
  std::vector<SkinChoice> skins = {{u"Default", u""}, {u"Blue", u"\\Program Files\\Velmora\\skins\\Blue.cfg"}};
  std::u16string tested = u"none";
  AlertOptionPage page(screen(), fixture_.device(), settings_, skins, [&](std::u16string_view skin) { tested = skin; });
  bool stayed = false;
  Run(page, [&] {
    EXPECT_EQ(TopControl<QComboBox>(IDC_ALERT_SKIN)->currentText(), "Blue");
    EXPECT_FALSE(TopControl<QLineEdit>(IDC_ALERT_SECONDS)->isEnabled()) << "no reminder: no seconds";
    Top()->SetFocusControl(IDC_ALERT_UNREAD);
    Press(PhoneKey::Right);  // Vibrate
    EXPECT_TRUE(TopControl<QLineEdit>(IDC_ALERT_SECONDS)->isEnabled());
    TopControl<QLineEdit>(IDC_ALERT_SECONDS)->setText("0");
    Press(PhoneKey::Soft1);
    stayed = Top() == &page && Top()->FocusedControlId() == IDC_ALERT_SECONDS;
    TopControl<QLineEdit>(IDC_ALERT_SECONDS)->setText("45");
    Top()->SetFocusControl(IDC_ALERT_TEST);
    Press(PhoneKey::Action);
    Top()->SetFocusControl(IDC_ALERT_SKIN);
    Press(PhoneKey::Left);  // Default
    Press(PhoneKey::Soft1);
  });
  EXPECT_TRUE(stayed);
  EXPECT_EQ(tested, u"\\Program Files\\Velmora\\skins\\Blue.cfg");
  EXPECT_EQ(settings_.UnReadAlert, 1);
  EXPECT_EQ(settings_.AlertSecond, 45000);
  EXPECT_EQ(settings_.SentSkin.Text(), u"");
}

TEST_F(OptionPagesTest, SecurityShowsAStrangeLevelAsReinputAndGraysPasswordWithoutADocument) {
  settings_.ProtectLevel = 5;
  int ruleEdits = 0;
  SecurityActions actions;
  actions.editRulePassword = [&] { ++ruleEdits; };
  SecurityPage page(screen(), settings_, actions);
  Run(page, [&] {
    EXPECT_EQ(TopControl<QComboBox>(IDC_SECURITY_LEVEL)->currentText(), "Reinput after Minimize");
    EXPECT_FALSE(Top()->Control(IDC_SECURITY_FILE_PASSWORD)->isEnabled());
    Top()->SetFocusControl(IDC_SECURITY_RULE_PASSWORD);
    Press(PhoneKey::Action);
    Press(PhoneKey::Soft2);  // Cancel
  });
  EXPECT_EQ(ruleEdits, 1);
  EXPECT_EQ(settings_.ProtectLevel, 5) << "Cancel stores nothing";
}

TEST_F(OptionPagesTest, HotkeyCapturesAKeyTakesItFromAnotherRowAndBackUnmaps) {
  std::vector<HotKeyBinding> bindings = {{1, 0x35, 40069}, {1, 0x70, 40001}};  // Save on 5, View on a code
  HotKeyDialog page(screen(), bindings);
  QString capturing, viewKey, saveAfter;
  Run(page, [&] {
    auto* list = TopControl<QTreeWidget>(IDC_HOTKEY_LIST);
    viewKey = list->topLevelItem(0)->text(1);
    Press(PhoneKey::Down);
    Press(PhoneKey::Down);  // Open
    Press(PhoneKey::Action);
    capturing = qobject_cast<QLabel*>(Top()->Control(IDC_HOTKEY_LABEL))->text();
    Press(PhoneKey::Digit5);
    saveAfter = list->topLevelItem(3)->text(1);
    EXPECT_EQ(list->topLevelItem(2)->text(1), "5");
    EXPECT_EQ(qobject_cast<QLabel*>(Top()->Control(IDC_HOTKEY_LABEL))->text(), "Action = change, Back = unmap");
    Press(PhoneKey::Up);
    Press(PhoneKey::Up);  // View
    Press(PhoneKey::Back);
    EXPECT_EQ(list->topLevelItem(0)->text(1), "(none)");
    Press(PhoneKey::Soft1);
  });
  EXPECT_EQ(viewKey, "0x112X");
  EXPECT_EQ(capturing, "Press Key or Press Back to cancel");
  EXPECT_EQ(saveAfter, "(none)");
  EXPECT_EQ(bindings, (std::vector<HotKeyBinding>{{1, 0x35, 40074}}));
}

TEST_F(OptionPagesTest, HotkeyResetEmptiesTheListAtOnce) {
  std::vector<HotKeyBinding> bindings = {{1, 0x35, 40069}};
  HotKeyDialog page(screen(), bindings);
  bool emptiedAtOnce = false;
  Run(page, [&] {
    Press(PhoneKey::Soft2);
    emptiedAtOnce = bindings.empty();
    Press(PhoneKey::Soft1);
  });
  EXPECT_TRUE(emptiedAtOnce);
  EXPECT_TRUE(bindings.empty());
}

}  // namespace
}  // namespace brevalo
