// The "SMS Setting" page: keeping sent messages, where black-listed messages go, how the titles
// of received, sent and imported messages are built, the summary length and the signature.
#pragma once

#include "settings/option_page.h"
#include "settings/settings.h"

namespace brevalo {

enum SmsSettingControl {
  IDC_SMS_SAVE_SENT = 1201,
  IDC_SMS_BLACK_TO_BIN = 1202,
  IDC_SMS_RECEIVE_TITLE = 1203,
  IDC_SMS_SENT_TITLE = 1204,
  IDC_SMS_IMPORT_TITLE = 1205,
  IDC_SMS_SUMMARY_LENGTH = 1206,
  IDC_SMS_SIGN = 1207,
  IDC_SMS_RECEIVE_TITLE_LABEL = 1208,
  IDC_SMS_SENT_TITLE_LABEL = 1209,
  IDC_SMS_IMPORT_TITLE_LABEL = 1210,
  IDC_SMS_SUMMARY_LABEL = 1211,
  IDC_SMS_SIGN_LABEL = 1212,
};

class SmsSettingPage : public OptionPage {
  Q_OBJECT

 public:
  SmsSettingPage(PhoneScreen& screen, SettingValues& settings);

 protected:
  bool OnInitDialog() override;
  bool Accept() override;

 private:  SettingValues& settings_;
};

}  // namespace brevalo
