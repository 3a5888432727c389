#include "settings/preference_page.h"

#include "settings/option_checks.h"

namespace brevalo {

PreferencePage::PreferencePage(PhoneScreen& screen, SettingValues& settings, SystemRegistration& registration)
    : OptionPage(screen, "Preference"), settings_(settings), registration_(registration) {}

bool PreferencePage::OnInitDialog() {
  AddCheck(IDC_PREF_AUTO_RUN, "Auto Run", settings_.AutoStart != 0);
  AddCheck(IDC_PREF_AUTO_HIDE, "Auto Hide when startup", settings_.AutoHide != 0);
  AddCheck(IDC_PREF_LOAD_PREVIOUS, "Load previous file", settings_.OpenLastFile != 0);
  AddCheck(IDC_PREF_AUTO_RECEIVE, "Auto Receive SMS", registration_.RuleClientRegistered());
  AddCheck(IDC_PREF_DELETE_ALERT, "Alert when deleting node", settings_.DeleteAlert != 0);
  AddCheck(IDC_PREF_EMPTY_ALERT, "Alert when emtpying recycle bin", settings_.EmptyReceiveBinAlert != 0);
  AddCheck(IDC_PREF_TRAY_ICON, "Show Tray Icon", settings_.ShowTrayIcon != 0);
  AddCheck(IDC_PREF_HOME_PLUGIN, "Add Today plug-in Support", registration_.HomePluginRegistered());
  AddCheck(IDC_PREF_AUTO_SAVE, "Auto Save", settings_.AutoSave != 0);
  AddNumberBox(IDC_PREF_MINUTES_LABEL, "Mins", IDC_PREF_MINUTES, settings_.SaveDuration);
  Enable(IDC_PREF_MINUTES, settings_.AutoSave != 0);
  SetFocusControl(IDC_PREF_AUTO_RUN);
  return true;
}

void PreferencePage::OnControl(int id, uint16_t code) {
  if (id == IDC_PREF_AUTO_SAVE && code == BN_CLICKED) Enable(IDC_PREF_MINUTES, Checked(IDC_PREF_AUTO_SAVE));
}

bool PreferencePage::Accept() {
  std::optional<int32_t> minutes = PositiveBoxValue(BoxText(IDC_PREF_MINUTES), kLongestSaveDuration);
  if (!minutes) {
    // A gray box cannot take the focus; what it holds then waits until Auto Save is on again,
    // and the period stored before stays.
    if (Checked(IDC_PREF_AUTO_SAVE)) {
      SetFocusControl(IDC_PREF_MINUTES);
      return false;
    }
    minutes = settings_.SaveDuration;
  }
  settings_.AutoStart = Checked(IDC_PREF_AUTO_RUN);
  settings_.AutoHide = Checked(IDC_PREF_AUTO_HIDE);
  settings_.OpenLastFile = Checked(IDC_PREF_LOAD_PREVIOUS);
  settings_.DeleteAlert = Checked(IDC_PREF_DELETE_ALERT);
  settings_.EmptyReceiveBinAlert = Checked(IDC_PREF_EMPTY_ALERT);
  settings_.ShowTrayIcon = Checked(IDC_PREF_TRAY_ICON);
  settings_.AutoSave = Checked(IDC_PREF_AUTO_SAVE);
  settings_.SaveDuration = *minutes;
  if (Checked(IDC_PREF_AUTO_RECEIVE)) registration_.RegisterRuleClient();
  else registration_.UnregisterRuleClient();
  registration_.SetHomePlugin(Checked(IDC_PREF_HOME_PLUGIN));
  registration_.ApplyAutoStart(settings_.AutoStart != 0);
  return true;
}

}  // namespace brevalo
