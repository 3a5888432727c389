// The main window's Options commands: the Preference, SMS, Alert, Hotkey and Security pages,
// when each saves the settings, and what the window applies after them (the automatic save, the
// tray icon, the hot keys when the window is active again).
#include "alert/skin_list.h"
#include "app/main_commands.h"
#include "app/main_window.h"
#include "settings/alert_option_page.h"
#include "settings/hot_key_dialog.h"
#include "settings/preference_page.h"
#include "settings/program_folder.h"
#include "settings/security_page.h"
#include "settings/sms_setting_page.h"
#include "ui/phone_screen.h"
#include "ui/string_table.h"

namespace brevalo {
namespace {

constexpr char16_t kTestText[] = u"This is only for test";
constexpr char16_t kTestNumber[] = u"1234567890";

}  // namespace

bool MainWindow::OnOptionsCommand(int id) {
  if (!settings_) return false;
  switch (id) {
    case ID_PREFERENCE: EditPreference(); return true;
    case ID_SMS_OPTIONS: {
      SmsSettingPage page(Screen(), *settings_);
      page.DoModal();
      settings_->Save(registry_);  // whatever the button
      return true;
    }
    case ID_ALERT: EditAlertOptions(); return true;
    case ID_HOTKEY: {
      // The window is inactive while the page runs, so no binding of the old list is registered
      // when the list changes; the new list is registered when the window is active again.
      HotKeyDialog page(Screen(), settings_->bindings);
      page.DoModal();
      settings_->Save(registry_);
      return true;
    }
    case ID_SECURITY: EditSecurity(); return true;
    default: return false;
  }
}

void MainWindow::EditPreference() {
  SystemRegistration registration(Screen().DeviceFolder(), registry_, kProgramFile);
  PreferencePage page(Screen(), *settings_, registration);
  if (page.DoModal() != IDOK) return;
  settings_->Save(registry_);
  ApplyAutoSave();
  const bool trayWanted = settings_->ShowTrayIcon != 0;
  if (trayWanted != trayMain_.Shown()) {
    if (trayWanted) trayMain_.Show(kMainTrayId);
    else trayMain_.Hide(kMainTrayId);
  }
}

void MainWindow::EditAlertOptions() {
  const std::u16string folder = ProgramFolder();
  std::vector<std::u16string> names = SkinChoices(files_, folder, StringTable::Program().Text(IDS_SKIN_DEFAULT));
  std::vector<SkinChoice> skins;
  for (size_t i = 0; i < names.size(); ++i) skins.push_back({names[i], SkinPathOfChoice(folder, names, i)});
  AlertOptionPage page(Screen(), Screen().DeviceFolder(), *settings_, std::move(skins), [this](std::u16string_view skin) {
    alerts_->Popup().LoadSkin(skin);
    alerts_->Popup().ShowAlert(kTestText, kTestNumber, settings_->DisappearTime, settings_->defaultPhoto.Text(), 0);
  });
  // No save of its own: the values reach the registry with the next save.
  page.DoModal();
}

void MainWindow::EditSecurity() {
  if (!AskRulePassword()) return;
  SecurityActions actions;
  actions.documentOpen = document_.IsOpen();
  actions.editDocumentPassword = [this] { EditFilePassword(); };
  actions.editRulePassword = [this] { EditRulePassword(); };
  SecurityPage page(Screen(), *settings_, std::move(actions));
  page.DoModal();
  settings_->Save(registry_);
}

}  // namespace brevalo
