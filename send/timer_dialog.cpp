#include "send/timer_dialog.h"

#include <QCheckBox>
#include <QLineEdit>

#include "send/compose_text.h"
#include "ui/dialog_base.h"
#include "ui/edit_input.h"
#include "ui/message_box.h"
#include "ui/phone_screen.h"

namespace brevalo {
namespace {

class TimerDialog : public DialogBase {
 public:
  TimerDialog(PhoneScreen& screen, bool timerSet, const SYSTEMTIME& shown)
      : DialogBase(screen, "Timer"), timerSet_(timerSet), shown_(shown) {
    MenuBar().left = {u"OK", IDOK, nullptr, true};
    MenuBar().right = {u"Cancel", IDCANCEL, nullptr, true};
  }

  const SYSTEMTIME& Chosen() const { return chosen_; }

 protected:
  bool OnInitDialog() override {
    set_ = static_cast<QCheckBox*>(AddControl(IDC_TIMER_SET, ControlKind::CheckBox, new QCheckBox("Set Timer")));
    set_->setChecked(timerSet_);
    AddLabel(0, "Send time (yyyy-MM-dd HH:mm)");
    time_ = static_cast<QLineEdit*>(AddControl(IDC_TIMER_TIME, ControlKind::Edit, new QLineEdit));
    time_->setText(QString::fromStdU16String(SendTimeText(shown_)));
    time_->setMaxLength(16);
    SetEditInputMode(time_, InputMode::Numbers);
    time_->setEnabled(timerSet_);
    SetFocusControl(IDC_TIMER_SET);
    return true;
  }

  void OnCommand(int id, uint16_t code) override {
    if (id == IDC_TIMER_SET && code == BN_CLICKED) {
      time_->setEnabled(set_->isChecked());
    } else if (id == IDOK) {
      Accept();
    } else if (id == IDCANCEL) {
      EndDialog(IDCANCEL);
    }
  }

  // Back erases in the time, even with nothing left to erase; elsewhere it cancels.
  void BackPressed() override {
    if (FocusedControlId() != IDC_TIMER_TIME) EndDialog(IDCANCEL);
  }
  void ActionPressed() override { Accept(); }

 private:
  void Accept() {
    if (!set_->isChecked()) return EndDialog(IDCANCEL);
    CommitEditLetter(time_);
    std::optional<SYSTEMTIME> time = ParseSendTime(EditText(time_).toStdU16String());
    if (!time) {
      ErrorBox(*this, "The send time must be a date and time that exist, written as yyyy-MM-dd "
                      "HH:mm or as its twelve digits.", MB_ICONWARNING);
      SetFocusControl(IDC_TIMER_TIME);
      return;
    }
    chosen_ = *time;
    EndDialog(IDOK);
  }

  bool timerSet_;
  SYSTEMTIME shown_;
  SYSTEMTIME chosen_{};
  QCheckBox* set_ = nullptr;
  QLineEdit* time_ = nullptr;
};

}  // namespace

int RunTimerDialog(PhoneScreen& screen, bool timerSet, SYSTEMTIME& sendTime, const SYSTEMTIME& now) {
  TimerDialog dialog(screen, timerSet, timerSet ? sendTime : now);
  if (dialog.DoModal() != IDOK) return IDCANCEL;
  sendTime = dialog.Chosen();
  return IDOK;
}

}  // namespace brevalo
