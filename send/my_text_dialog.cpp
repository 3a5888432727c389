#include "send/my_text_dialog.h"

#include <QLineEdit>
#include <QListWidget>

#include "send/list_file_text.h"
#include "ui/dialog_base.h"
#include "ui/edit_input.h"
#include "ui/phone_screen.h"
#include "ui/view_paging.h"

namespace brevalo {
namespace {

enum MyTextControl { IDC_MYTEXT_EDIT = 1035, IDC_MYTEXT_LIST = 1001 };

// The edit's input mode, kept from one opening to the next while the program runs.
RememberedInputMode& SentenceInputMode() {
  static RememberedInputMode mode;
  return mode;
}

QString Q(std::u16string_view text) { return QString::fromStdU16String(std::u16string(text)); }

std::u16string Bounded(std::u16string text) {
  if (text.size() > kListLineChars) text.resize(kListLineChars);
  return text;
}

class MyTextDialog : public DialogBase {
 public:
  MyTextDialog(PhoneScreen& screen, SentenceList& sentences)
      : DialogBase(screen, "My Text"), sentences_(sentences) {
    auto menu = std::make_shared<PopupMenu>(u"Menu");
    menu->AddItem(ID_MYTEXT_ADD, u"Add")
        .AddItem(ID_MYTEXT_MODIFY, u"Modify")
        .AddItem(ID_MYTEXT_DELETE, u"Delete")
        .AddSeparator()
        .AddItem(ID_MYTEXT_CANCEL, u"Cancel");
    MenuBar().left = {u"OK", ID_MYTEXT_OK, nullptr, true};
    MenuBar().right = {u"Menu", 0, menu, true};
  }

  const std::u16string& Chosen() const { return chosen_; }

 protected:
  bool OnInitDialog() override {
    auto* edit = new QLineEdit;
    // A sentence longer than one read of the file would come back as two.
    edit->setMaxLength(static_cast<int>(kListLineChars));
    edit_ = static_cast<QLineEdit*>(AddControl(IDC_MYTEXT_EDIT, ControlKind::Edit, edit));
    list_ = new QListWidget;
    list_->setFixedHeight(std::max(80, Screen().WindowArea().height() - 44));
    list_->setWordWrap(false);
    list_->setTextElideMode(Qt::ElideRight);
    AddControl(IDC_MYTEXT_LIST, ControlKind::List, list_);
    for (const std::u16string& sentence : sentences_.Sentences()) list_->addItem(Q(sentence));
    list_->setCurrentRow(0);
    SentenceInputMode().Apply(edit_);
    SetFocusControl(IDC_MYTEXT_LIST);
    return true;
  }

  void OnCommand(int id, uint16_t) override {
    switch (id) {
      case IDOK:
      case ID_MYTEXT_OK:
        return Accept();
      case IDCANCEL:
      case ID_MYTEXT_CANCEL:
        SentenceInputMode().Remember(edit_);
        if (changed_) sentences_.Save();
        return EndDialog(ID_MYTEXT_CANCEL);
      case ID_MYTEXT_ADD:
        return Add();
      case ID_MYTEXT_MODIFY:
        return Modify();
      case ID_MYTEXT_DELETE:
        return Delete();
      default:
        return;
    }
  }

  void OnNotify(const Notification& notification) override {
    if (notification.controlId != IDC_MYTEXT_LIST) return;
    if (notification.code == LVN_ITEMCHANGED && notification.row >= 0 &&
        static_cast<size_t>(notification.row) < sentences_.Sentences().size()) {
      edit_->setText(Q(Bounded(sentences_.Sentences()[static_cast<size_t>(notification.row)])));
    } else if (notification.code == NM_RETURN) {
      Accept();
    }
  }

  void KeyPressed(PhoneKey key, bool repeat) override {
    if (FocusedControlId() == IDC_MYTEXT_LIST && (key == PhoneKey::Left || key == PhoneKey::Right)) {
      PageListView(*list_, key == PhoneKey::Right);
      return;
    }
    DialogBase::KeyPressed(key, repeat);
  }

  void BackPressed() override {
    if (FocusedControlId() == IDC_MYTEXT_LIST) SetFocusControl(IDC_MYTEXT_EDIT);
    else DialogBase::BackPressed();
  }

 private:
  std::u16string EditedText() {
    CommitEditLetter(edit_);
    return EditText(edit_).toStdU16String();
  }

  void Accept() {
    SentenceInputMode().Remember(edit_);
    std::u16string text = EditedText();
    if (text.empty()) return;
    chosen_ = Bounded(std::move(text));
    if (changed_) sentences_.Save();
    EndDialog(IDOK);
  }

  void Add() {
    std::u16string text = EditedText();
    sentences_.AddFront(text);
    list_->insertItem(0, Q(text));
    list_->setCurrentRow(0);
    changed_ = true;
  }

  void Modify() {
    int row = list_->currentRow();
    std::u16string text = EditedText();
    if (row < 0 || !sentences_.Replace(static_cast<size_t>(row), text)) return;
    list_->item(row)->setText(Q(text));
    changed_ = true;
  }

  void Delete() {
    int row = list_->currentRow();
    if (row < 0 || !sentences_.Remove(static_cast<size_t>(row))) return;
    delete list_->takeItem(row);
    changed_ = true;
  }

  SentenceList& sentences_;
  QLineEdit* edit_ = nullptr;
  QListWidget* list_ = nullptr;
  bool changed_ = false;
  std::u16string chosen_;
};

}  // namespace

int RunMyText(PhoneScreen& screen, SentenceList& sentences, std::u16string& chosen) {
  if (!sentences.Loaded()) sentences.Load();
  MyTextDialog dialog(screen, sentences);
  if (dialog.DoModal() != IDOK) return ID_MYTEXT_CANCEL;
  chosen = dialog.Chosen();
  return IDOK;
}

}  // namespace brevalo
