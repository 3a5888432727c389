#include "send/compose_window.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>

#include "send/contact_picker_dialog.h"
#include "send/contact_picker_menus.h"
#include "send/control_rows.h"
#include "send/group_send_dialog.h"
#include "send/my_text_dialog.h"
#include "send/timer_dialog.h"
#include "ui/dialog_base.h"
#include "ui/edit_input.h"
#include "ui/message_box.h"
#include "ui/phone_screen.h"

namespace brevalo {
namespace {

QString Q(std::u16string_view text) { return QString::fromStdU16String(std::u16string(text)); }

// The body's input mode, kept from one compose window to the next while the program runs.
RememberedInputMode& BodyInputMode() {
  static RememberedInputMode mode;
  return mode;
}

// "To:" reacts to a tap as a button does.
class TapLabel : public QLabel {
 public:
  TapLabel(const QString& text, std::function<void()> tapped) : QLabel(text), tapped_(std::move(tapped)) {}

 protected:
  void mousePressEvent(QMouseEvent* event) override {
    event->accept();
    tapped_();
  }

 private:
  std::function<void()> tapped_;
};

class ComposeWindow : public DialogBase {
 public:
  ComposeWindow(PhoneScreen& screen, const ComposeServices& services, const ComposeFields& fields)
      : DialogBase(screen, "Send SMS"), services_(services), fields_(fields) {
    auto menu = std::make_shared<PopupMenu>(u"Menu");
    menu->AddItem(ID_COMPOSE_SAVE, u"Save")
        .AddItem(ID_COMPOSE_TIMER, u"Timer...")
        .AddItem(ID_COMPOSE_STATUS_REPORT, u"Status Report")
        .AddSeparator()
        .AddItem(ID_COMPOSE_INSERT_MY_TEXT, u"Insert My Text")
        .AddItem(ID_COMPOSE_INSERT_CONTACT, u"Insert Contact")
        .AddItem(ID_COMPOSE_INSERT_TIME, u"Insert Time")
        .AddItem(ID_COMPOSE_INSERT_DATE, u"Insert Date")
        .AddItem(ID_COMPOSE_CANCEL, u"Cancel");
    MenuBar().left = {u"Send", ID_COMPOSE_SEND, nullptr, true};
    MenuBar().right = {u"Menu", 0, menu, true};
  }

 protected:
  bool OnInitDialog() override {
    auto* to = new TapLabel("To:", [this] { PostMessage(WM_COMMAND, MakeLong(IDC_COMPOSE_TO, BN_CLICKED), 0); });
    AddControl(IDC_COMPOSE_TO, ControlKind::Static, to);
    recipients_ = static_cast<QLineEdit*>(AddControl(IDC_COMPOSE_RECIPIENTS, ControlKind::Edit, new QLineEdit));
    recipients_->setMaxLength(static_cast<int>(kRecipientTextChars));
    PlaceInRow({to, recipients_}, {0, 1});
    body_ = new QPlainTextEdit;
    body_->setFixedHeight(std::max(80, Screen().WindowArea().height() - 70));
    AddControl(IDC_COMPOSE_BODY, ControlKind::MultiLineEdit, body_);
    flash_ = static_cast<QCheckBox*>(AddControl(IDC_COMPOSE_FLASH, ControlKind::CheckBox, new QCheckBox("Flash")));
    progress_ = static_cast<QCheckBox*>(AddControl(IDC_COMPOSE_PROGRESS, ControlKind::CheckBox, new QCheckBox("Progress")));
    counter_ = new QLabel;
    counter_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    AddControl(IDC_COMPOSE_COUNTER, ControlKind::Static, counter_);
    PlaceInRow({flash_, progress_, counter_}, {0, 0, 1});

    recipients_->setText(Q(fields_.recipients));
    body_->setPlainText(Q(fields_.body));
    SetEditInputMode(recipients_, InputMode::Numbers);
    BodyInputMode().Apply(body_);
    UpdateCounter();
    if (!services_.sign.empty()) {
      // The signature goes at the end, the caret stays where the user's text ends.
      SignedBody signedBody = AppendSignature(EditText(body_).toStdU16String(), services_.sign);
      body_->setPlainText(Q(signedBody.text));
      QTextCursor cursor = body_->textCursor();
      cursor.setPosition(static_cast<int>(signedBody.caret));
      body_->setTextCursor(cursor);
    } else {
      body_->moveCursor(QTextCursor::End);
    }
    SetFocusControl(recipients_->text().isEmpty() ? IDC_COMPOSE_RECIPIENTS : IDC_COMPOSE_BODY);
    return true;
  }

  void OnInitMenuPopup(PopupMenu& menu, int) override {
    menu.Check(ID_COMPOSE_STATUS_REPORT, services_.statusReport && *services_.statusReport != 0);
  }

  void OnCommand(int id, uint16_t code) override {
    switch (id) {
      case IDC_COMPOSE_BODY:
        if (code == EN_CHANGE) UpdateCounter();
        return;
      case IDC_COMPOSE_TO:
        return PickRecipients();
      case ID_COMPOSE_SEND:
        return Send();
      case ID_COMPOSE_SAVE:
        Save();
        return Refresh();
      case ID_COMPOSE_TIMER:
        SetTimer();
        return Refresh();
      case ID_COMPOSE_STATUS_REPORT:
        if (services_.statusReport) *services_.statusReport = *services_.statusReport ? 0 : 1;
        return Refresh();
      case ID_COMPOSE_INSERT_MY_TEXT:
        InsertMyText();
        return Refresh();
      case ID_COMPOSE_INSERT_CONTACT:
        InsertContact();
        return Refresh();
      case ID_COMPOSE_INSERT_TIME:
      case ID_COMPOSE_INSERT_DATE:
        InsertNow(id == ID_COMPOSE_INSERT_DATE);
        return Refresh();
      case ID_COMPOSE_CANCEL:
        return Close(ID_COMPOSE_CANCEL);
      default:
        return;  // OK and Cancel of the dialog procedure do not close a message being written
    }
  }

  // Back erases in the edits and never throws the message away.
  void BackPressed() override {}
  void ActionPressed() override {
    if (FocusedControlId() == IDC_COMPOSE_RECIPIENTS) PickRecipients();
  }

 private:
  void UpdateCounter() { counter_->setText(Q(CounterText(EditText(body_).toStdU16String()))); }

  void Refresh() {
    if (services_.notify) services_.notify->SendMessage(WM_SMS_REFRESH, 0, 0);
  }

  void Close(int result) {
    BodyInputMode().Remember(body_);
    EndDialog(result);
  }

  std::u16string Recipients() const { return EditText(recipients_).toStdU16String(); }
  std::u16string Body() const { return EditText(body_).toStdU16String(); }

  // Opens the picker with groups; nothing when it was cancelled or nothing was checked.
  std::optional<std::u16string> Pick() {
    if (!services_.contacts) return std::nullopt;
    std::u16string result = Recipients();
    const size_t before = result.size();
    if (RunContactPicker(Screen(), *services_.contacts, PickerMode::kWithGroups, result) != ID_PICKER_ADD) {
      return std::nullopt;
    }
    return result.substr(before);
  }

  void AppendToRecipients(std::u16string_view picked) {
    recipients_->setText(Q(AppendPicked(Recipients(), picked)));
    recipients_->end(false);
  }

  void PickRecipients() {
    CommitEditLetter(recipients_);
    if (std::optional<std::u16string> picked = Pick()) AppendToRecipients(*picked);
  }

  bool PassesChecks() {
    CommitEditLetter(recipients_);
    CommitEditLetter(body_);
    if (std::optional<std::u16string> refusal = ComposeRefusal(Recipients(), Body())) {
      ErrorBox(*this, Q(*refusal), MB_ICONWARNING);
      return false;
    }
    return true;
  }

  // WM_SMS_RESULT with the fields and the draft; the main window writes the node it recorded
  // back into the record.
  SendRecord Report(int code) {
    SendRecord record;
    record.recipients = Recipients();
    record.text = Body();
    record.node = draft_;
    record.nodeOffset = draftOffset_;
    if (services_.notify) services_.notify->SendMessage(WM_SMS_RESULT, reinterpret_cast<uintptr_t>(&record), code);
    return record;
  }

  void Send() {
    if (!PassesChecks()) return;
    if (progress_->isChecked()) return SendToGroup();
    SmsTransport* transport = services_.transport;
    if (!transport) return Close(IDOK);
    if (!transport->Running()) {
      // A queue without its thread would keep the message for ever and say nothing.
      ErrorBox(*this, "The phone cannot send messages now: its SMS library is missing. Save the "
                      "message to keep it.");
      return;
    }
    const bool statusReport = services_.statusReport && *services_.statusReport != 0;
    transport->Enqueue(Recipients(), Body(), ComposeSendFlags(flash_->isChecked(), statusReport),
                       timerSet_ ? &sendTime_ : nullptr, draft_);
    Close(IDOK);
  }

  void SendToGroup() {
    const SmsEntryPoints sms = services_.transport ? services_.transport->EntryPoints() : SmsEntryPoints{};
    if (RunGroupSend(Screen(), sms, Recipients(), Body(), flash_->isChecked()) != IDOK) return;
    Report(SEND_RESULT_GROUP);
    Close(IDOK);
  }

  void Save() {
    if (!PassesChecks()) return;
    SendRecord record = Report(SEND_RESULT_SAVED);
    if (!record.node) {
      ErrorBox(*this, "The message could not be saved as a draft: no document is open, or it "
                      "cannot be written. The message is still here.");
      return;
    }
    draft_ = record.node;
    draftOffset_ = record.nodeOffset;
  }

  void SetTimer() {
    timerSet_ = RunTimerDialog(Screen(), timerSet_, sendTime_, GetLocalTime()) == IDOK;
  }

  void InsertIntoBody(const QString& text) {
    CommitEditLetter(body_);
    InsertIntoEdit(body_, text);
  }

  void InsertMyText() {
    if (!services_.sentences) return;
    std::u16string chosen;
    if (RunMyText(Screen(), *services_.sentences, chosen) == 1) InsertIntoBody(Q(chosen));
  }

  void InsertContact() {
    const bool intoRecipients = FocusedControlId() == IDC_COMPOSE_RECIPIENTS;
    std::optional<std::u16string> picked = Pick();
    if (!picked) return;
    if (intoRecipients) return AppendToRecipients(*picked);
    if (!picked->empty()) InsertIntoBody(Q(PickedForBody(*picked)));
  }

  void InsertNow(bool date) {
    if (!services_.nowText) return;
    InsertIntoBody(Q(CutText(services_.nowText(date), 40)));
  }

  const ComposeServices& services_;
  ComposeFields fields_;
  QLineEdit* recipients_ = nullptr;
  QPlainTextEdit* body_ = nullptr;
  QCheckBox* flash_ = nullptr;
  QCheckBox* progress_ = nullptr;
  QLabel* counter_ = nullptr;
  bool timerSet_ = false;
  SYSTEMTIME sendTime_{};
  TreeNode* draft_ = nullptr;
  uint32_t draftOffset_ = 0;
};

}  // namespace

int RunComposeWindow(PhoneScreen& screen, const ComposeServices& services, ComposeMode mode,
                     const ComposeFields& fields) {
  // The mode has shaped the fields already; the window is the same for all three.
  (void)mode;
  ComposeWindow window(screen, services, fields);
  return window.DoModal();
}

}  // namespace brevalo
