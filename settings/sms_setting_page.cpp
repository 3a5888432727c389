#include "settings/sms_setting_page.h"

#include <QPlainTextEdit>

#include <limits>

#include "settings/option_checks.h"
#include "ui/edit_input.h"

namespace brevalo {
namespace {

const QStringList kTitleChoices = {"Summary", "Contact Summary", "Contact Time"};

}  // namespace

SmsSettingPage::SmsSettingPage(PhoneScreen& screen, SettingValues& settings)
    : OptionPage(screen, "SMS Setting"), settings_(settings) {}

bool SmsSettingPage::OnInitDialog() {
  AddCheck(IDC_SMS_SAVE_SENT, "Save Sent SMS to Sent Box", settings_.SaveToSentBox != 0);
  AddCheck(IDC_SMS_BLACK_TO_BIN, "Blacklist SMS to Recycle Bin", settings_.BlackDeleteToRecycleBin != 0);
  AddSpin(IDC_SMS_RECEIVE_TITLE_LABEL, "Receive Title:", IDC_SMS_RECEIVE_TITLE, kTitleChoices,
          TitleChoiceOf(settings_.ReceiveTitle));
  AddSpin(IDC_SMS_SENT_TITLE_LABEL, "Sent Title:", IDC_SMS_SENT_TITLE, kTitleChoices, TitleChoiceOf(settings_.SendTitle));
  AddSpin(IDC_SMS_IMPORT_TITLE_LABEL, "Import Title", IDC_SMS_IMPORT_TITLE, kTitleChoices,
          TitleChoiceOf(settings_.ImportTitle));
  AddNumberBox(IDC_SMS_SUMMARY_LABEL, "Summary Length:", IDC_SMS_SUMMARY_LENGTH, SummaryLength());
  AddLabel(IDC_SMS_SIGN_LABEL, "Sign");
  auto* sign = new QPlainTextEdit(QString::fromStdU16String(settings_.Sign.Text()));
  sign->setFixedHeight(60);
  AddControl(IDC_SMS_SIGN, ControlKind::MultiLineEdit, sign);
  SetFocusControl(IDC_SMS_SAVE_SENT);
  return true;
}

bool SmsSettingPage::Accept() {
  std::optional<int32_t> length =
      PositiveBoxValue(BoxText(IDC_SMS_SUMMARY_LENGTH), std::numeric_limits<int32_t>::max());
  if (!length) {
    SetFocusControl(IDC_SMS_SUMMARY_LENGTH);
    return false;
  }
  settings_.SaveToSentBox = Checked(IDC_SMS_SAVE_SENT);
  settings_.BlackDeleteToRecycleBin = Checked(IDC_SMS_BLACK_TO_BIN);
  settings_.ReceiveTitle = Choice(IDC_SMS_RECEIVE_TITLE);
  settings_.SendTitle = Choice(IDC_SMS_SENT_TITLE);
  settings_.ImportTitle = Choice(IDC_SMS_IMPORT_TITLE);
  SetSummaryLength(*length);
  // The field keeps its first 139 characters.
  settings_.Sign = BoxText(IDC_SMS_SIGN);
  return true;
}

}  // namespace brevalo
