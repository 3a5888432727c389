#include "send/group_chooser_dialog.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "send/list_file_text.h"
#include "ui/dialog_base.h"
#include "ui/edit_input.h"
#include "ui/message_box.h"
#include "ui/phone_screen.h"

namespace brevalo {
namespace {

enum GroupChooserControl { IDC_GROUP_NAME = 1035, IDC_GROUP_ADD = 1119, IDC_GROUP_LIST = 1001 };
enum GroupChooserCommand { ID_GROUP_DONE = 40134, ID_GROUP_DELETE = 40072, ID_GROUP_CANCEL = 40016 };

QString Q(std::u16string_view text) { return QString::fromStdU16String(std::u16string(text)); }

class GroupChooserDialog : public DialogBase {
 public:
  GroupChooserDialog(PhoneScreen& screen, GroupList& groups)
      : DialogBase(screen, "Member Setting"), groups_(groups) {
    MenuBar().left = {u"Done", ID_GROUP_DONE, nullptr, true};
    MenuBar().right = {u"Delete", ID_GROUP_DELETE, nullptr, true};
  }

  const GroupChoice& Choice() const { return choice_; }

 protected:
  bool OnInitDialog() override {
    AddLabel(0, "Name");
    auto* name = new QLineEdit;
    // "[name]" must fit into one read of the file.
    name->setMaxLength(static_cast<int>(kListLineChars - 2));
    name_ = static_cast<QLineEdit*>(AddControl(IDC_GROUP_NAME, ControlKind::Edit, name));
    AddControl(IDC_GROUP_ADD, ControlKind::Button, new QPushButton("Add"));
    list_ = new QListWidget;
    list_->setFixedHeight(std::max(80, Screen().WindowArea().height() - 90));
    AddControl(IDC_GROUP_LIST, ControlKind::List, list_);
    for (const Group& group : groups_.Groups()) list_->addItem(Q(group.name));
    list_->setCurrentRow(0);
    SetFocusControl(list_->count() > 0 ? IDC_GROUP_LIST : IDC_GROUP_NAME);
    return true;
  }

  void OnCommand(int id, uint16_t code) override {
    switch (id) {
      case IDC_GROUP_ADD:
        if (code == BN_CLICKED) AddGroup();
        return;
      case ID_GROUP_DELETE:
        return DeleteGroup();
      case ID_GROUP_DONE:
      case IDOK:
        return Finish();
      case ID_GROUP_CANCEL:
      case IDCANCEL:
        return End(IDCANCEL);
      default:
        return;
    }
  }

  void BackPressed() override {
    if (FocusedControlId() == IDC_GROUP_LIST) SetFocusControl(IDC_GROUP_NAME);
    else DialogBase::BackPressed();
  }

 private:
  void AddGroup() {
    CommitEditLetter(name_);
    std::u16string name = EditText(name_).toStdU16String();
    if (name.empty()) return;
    if (!StorableGroupName(name)) {
      ErrorBox(*this, "A group name can't contain | or ].");
      return;
    }
    groups_.AddGroup(name);
    list_->insertItem(0, Q(name));
    list_->setCurrentRow(0);
    name_->clear();
    choice_.changed = true;
  }

  void DeleteGroup() {
    int row = list_->currentRow();
    if (row < 0 || !groups_.DeleteGroup(static_cast<size_t>(row))) return;
    delete list_->takeItem(row);
    choice_.changed = true;
  }

  void Finish() {
    int row = list_->currentRow();
    if (row < 0) return End(IDCANCEL);
    choice_.group = static_cast<size_t>(row);
    End(IDOK);
  }

  void End(int result) {
    choice_.result = result;
    if (choice_.changed) groups_.Save();
    EndDialog(result);
  }

  GroupList& groups_;
  QLineEdit* name_ = nullptr;
  QListWidget* list_ = nullptr;
  GroupChoice choice_;
};

}  // namespace

GroupChoice RunGroupChooser(PhoneScreen& screen, GroupList& groups) {
  GroupChooserDialog dialog(screen, groups);
  int result = dialog.DoModal();
  GroupChoice choice = dialog.Choice();
  if (result != IDOK) choice.group.reset();
  choice.result = result == IDOK ? IDOK : IDCANCEL;
  return choice;
}

}  // namespace brevalo
