#include "app/password_dialog.h"

#include <QLineEdit>

#include <atomic>

#include "app/property_controls.h"
#include "store/password_field.h"
#include "ui/dialog_base.h"
#include "ui/message_box.h"

namespace brevalo {
namespace {

enum PasswordControl {
  IDC_OLD_PASSWORD = 1040,
  IDC_NEW_PASSWORD = 1041,
  IDC_CONFIRM_PASSWORD = 1042,
  IDC_OLD_PASSWORD_LABEL = 1043,
  IDC_NEW_PASSWORD_LABEL = 1044,
  IDC_CONFIRM_PASSWORD_LABEL = 1045,
};

std::atomic<int> openDialogs{0};

// Open while it lives.
class BusyMark {
 public:
  BusyMark() { ++openDialogs; }
  ~BusyMark() { --openDialogs; }
  BusyMark(const BusyMark&) = delete;
  BusyMark& operator=(const BusyMark&) = delete;
};

class PasswordDialog : public DialogBase {
 public:
  PasswordDialog(PhoneScreen& screen, PasswordMode mode, std::u16string& password, const PasswordFits& fits)
      : DialogBase(screen, "Password"), mode_(mode), password_(password), fits_(fits) {}

 protected:
  bool OnInitDialog() override {
    const bool asking = mode_ == PasswordMode::kAsk;
    const bool hasCurrent = !password_.empty();
    old_ = AddBox(IDC_OLD_PASSWORD_LABEL, asking ? "Input Password:" : "Old Password", IDC_OLD_PASSWORD,
                  false, hasCurrent || asking);
    new_ = AddBox(IDC_NEW_PASSWORD_LABEL, "New Password", IDC_NEW_PASSWORD, true, !asking);
    confirm_ = AddBox(IDC_CONFIRM_PASSWORD_LABEL, "Password Confirm", IDC_CONFIRM_PASSWORD, true, !asking);
    FocusFirstBox();
    return true;
  }

  void OnCommand(int id, uint16_t code) override {
    if (code != BN_CLICKED) return;
    if (id == IDOK) {
      if (Accept()) EndDialog(IDOK);
    } else if (id == IDCANCEL) {
      EndDialog(IDCANCEL);
    }
  }

 private:
  // A box that is not used is hidden and its label grayed.
  QLineEdit* AddBox(int labelId, const QString& label, int id, bool masked, bool used) {
    AddLabel(labelId, label)->setEnabled(used);
    auto* edit = new QLineEdit;
    edit->setMaxLength(static_cast<int>(kPasswordEditChars));
    if (masked) edit->setEchoMode(QLineEdit::Password);
    AddControl(id, ControlKind::Edit, edit);
    edit->setHidden(!used);
    return edit;
  }

  bool Accept() {
    if (!password_.empty() && !PasswordMatches(TakeEditText(old_), password_)) {
      return Refuse("Password Error!");
    }
    if (mode_ == PasswordMode::kAsk) return true;
    const std::u16string typed = TakenPassword(TakeEditText(new_));
    if (typed != TakenPassword(TakeEditText(confirm_))) return Refuse("Password is not the same!");
    if (fits_ && !fits_(typed)) {
      return Refuse("This password cannot be kept in the document: it takes more than 11 bytes "
                    "in the phone's character set, or has a character the phone cannot store.");
    }
    password_ = typed;
    return true;
  }

  // Says why and starts over with empty boxes.
  bool Refuse(const QString& text) {
    ErrorBox(*this, text, MB_ICONINFORMATION);
    for (QLineEdit* box : {old_, new_, confirm_}) box->clear();
    FocusFirstBox();
    return false;
  }

  void FocusFirstBox() { SetFocusControl(old_->isHidden() ? IDC_NEW_PASSWORD : IDC_OLD_PASSWORD); }

  PasswordMode mode_;
  std::u16string& password_;
  const PasswordFits& fits_;
  QLineEdit* old_ = nullptr;
  QLineEdit* new_ = nullptr;
  QLineEdit* confirm_ = nullptr;
};

}  // namespace

int RunPasswordDialog(PhoneScreen& screen, PasswordMode mode, std::u16string& password,
                      const PasswordFits& fits) {
  BusyMark busy;
  PasswordDialog dialog(screen, mode, password, fits);
  return dialog.DoModal();
}

bool PasswordDialogOpen() { return openDialogs.load() > 0; }

}  // namespace brevalo
