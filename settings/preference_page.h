// The "Preference" page: start-up and hiding, the questions before deleting, the tray icon, the
// automatic save, and the three switches that change the phone (receiving SMS through the rule
// client, the home-screen plug-in, starting with the phone). The switches show what the phone
// has when the page opens; nothing is stored or applied before OK.
#pragma once

#include "settings/option_page.h"
#include "settings/settings.h"
#include "settings/system_registration.h"

namespace brevalo {

enum PreferenceControl {
  IDC_PREF_AUTO_RUN = 1101,
  IDC_PREF_AUTO_HIDE = 1102,
  IDC_PREF_LOAD_PREVIOUS = 1103,
  IDC_PREF_AUTO_RECEIVE = 1104,
  IDC_PREF_DELETE_ALERT = 1105,
  IDC_PREF_EMPTY_ALERT = 1106,
  IDC_PREF_TRAY_ICON = 1107,
  IDC_PREF_HOME_PLUGIN = 1108,
  IDC_PREF_AUTO_SAVE = 1109,
  IDC_PREF_MINUTES = 1110,
  IDC_PREF_MINUTES_LABEL = 1111,
};

class PreferencePage : public OptionPage {
  Q_OBJECT

 public:
  // Both must outlive the page.
  PreferencePage(PhoneScreen& screen, SettingValues& settings, SystemRegistration& registration);

 protected:
  bool OnInitDialog() override;
  void OnControl(int id, uint16_t code) override;
  // False, with the focus in the minutes box, when it holds no usable period.
  bool Accept() override;

 private:
  SettingValues& settings_;
  SystemRegistration& registration_;
};

}  // namespace brevalo
