#include "settings/security_page.h"

#include "settings/option_checks.h"

namespace brevalo {

SecurityPage::SecurityPage(PhoneScreen& screen, SettingValues& settings, SecurityActions actions)
    : OptionPage(screen, "Security"), settings_(settings), actions_(std::move(actions)) {}

bool SecurityPage::OnInitDialog() {
  AddSpin(IDC_SECURITY_LEVEL_LABEL, "Password:", IDC_SECURITY_LEVEL,
          {"Only Once", "Reinput after Minimize", "Input Every Time"}, ProtectChoiceOf(settings_.ProtectLevel));
  AddCheck(IDC_SECURITY_SCREEN_SAVER, "ScreenSaver after Minimized", settings_.StartScreenSaveMin != 0);
  AddButton(IDC_SECURITY_FILE_PASSWORD, "Password...");
  Enable(IDC_SECURITY_FILE_PASSWORD, actions_.documentOpen);
  AddButton(IDC_SECURITY_RULE_PASSWORD, "Rule Password");
  SetFocusControl(IDC_SECURITY_LEVEL);
  return true;
}

bool SecurityPage::Accept() {
  settings_.ProtectLevel = Choice(IDC_SECURITY_LEVEL);
  settings_.StartScreenSaveMin = Checked(IDC_SECURITY_SCREEN_SAVER);
  return true;
}

void SecurityPage::OnControl(int id, uint16_t code) {
  if (code != BN_CLICKED) return;
  switch (id) {
    case IDC_SECURITY_FILE_PASSWORD:
      if (actions_.documentOpen && actions_.editDocumentPassword) actions_.editDocumentPassword();
      break;
    case IDC_SECURITY_RULE_PASSWORD:
      if (actions_.editRulePassword) actions_.editRulePassword();
      break;
    default:
      break;
  }
}

}  // namespace brevalo
