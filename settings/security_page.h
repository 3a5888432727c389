// The "Security" page: when protected nodes ask again, whether the document password is asked
// after the program was hidden, and two buttons that change the document password and the rule
// password at once (they are not undone by Cancel).
#pragma once

#include <functional>

#include "settings/option_page.h"
#include "settings/settings.h"

namespace brevalo {

enum SecurityControl {
  IDC_SECURITY_LEVEL = 1501,
  IDC_SECURITY_LEVEL_LABEL = 1502,
  IDC_SECURITY_SCREEN_SAVER = 1503,
  IDC_SECURITY_FILE_PASSWORD = 1504,
  IDC_SECURITY_RULE_PASSWORD = 1505,
};

struct SecurityActions {
  bool documentOpen = false;          // "Password..." is enabled only with a document
  std::function<void()> editDocumentPassword;
  std::function<void()> editRulePassword;
};

class SecurityPage : public OptionPage {
  Q_OBJECT

 public:
  SecurityPage(PhoneScreen& screen, SettingValues& settings, SecurityActions actions);

 protected:
  bool OnInitDialog() override;
  void OnControl(int id, uint16_t code) override;
  bool Accept() override;

 private:
  SettingValues& settings_;
  SecurityActions actions_;
};

}  // namespace brevalo
