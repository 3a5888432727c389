#include "send/member_editor_dialog.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include "send/list_file_text.h"
#include "ui/dialog_base.h"
#include "ui/edit_input.h"
#include "ui/message_box.h"
#include "ui/phone_screen.h"

namespace brevalo {
namespace {

enum MemberEditorControl {
  IDC_MEMBER_NAME = 1035,
  IDC_MEMBER_PHONE = 1103,
  IDC_MEMBER_ADD = 1105,
  IDC_MEMBER_LIST = 1001,
};
enum MemberEditorCommand { ID_MEMBER_DONE = 40134, ID_MEMBER_DELETE = 40072 };

QString Q(std::u16string_view text) { return QString::fromStdU16String(std::u16string(text)); }

class MemberEditorDialog : public DialogBase {
 public:
  MemberEditorDialog(PhoneScreen& screen, GroupList& groups, size_t group)
      : DialogBase(screen, "Black List"), groups_(groups), group_(group) {
    MenuBar().left = {u"Done", ID_MEMBER_DONE, nullptr, true};
    MenuBar().right = {u"Delete", ID_MEMBER_DELETE, nullptr, true};
  }

  bool Changed() const { return changed_; }

 protected:
  bool OnInitDialog() override {
    name_ = AddEdit(IDC_MEMBER_NAME, "Name");
    phone_ = AddEdit(IDC_MEMBER_PHONE, "Phone");
    SetEditInputMode(phone_, InputMode::Numbers);
    AddControl(IDC_MEMBER_ADD, ControlKind::Button, new QPushButton("Add"));
    list_ = new QTreeWidget;
    list_->setColumnCount(2);
    list_->setHeaderLabels({"Name", "Number"});
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setFixedHeight(std::max(80, Screen().WindowArea().height() - 130));
    AddControl(IDC_MEMBER_LIST, ControlKind::Tree, list_);
    // The first column is 10 pixels narrower than half the width, the second 10 wider.
    const int half = (Screen().WindowArea().width() - 12) / 2;
    list_->header()->resizeSection(0, half - 10);
    list_->header()->setStretchLastSection(true);
    for (const GroupMember& member : Members()) AddRow(member);
    if (list_->topLevelItemCount() > 0) list_->setCurrentItem(list_->topLevelItem(0));
    SetFocusControl(IDC_MEMBER_NAME);
    return true;
  }

  void OnCommand(int id, uint16_t code) override {
    switch (id) {
      case IDC_MEMBER_ADD:
        if (code == BN_CLICKED) AddMember();
        return;
      case ID_MEMBER_DELETE:
        return DeleteMember();
      case ID_MEMBER_DONE:
      case IDOK:
      case IDCANCEL:
        return EndDialog(IDOK);
      default:
        return;
    }
  }

  void BackPressed() override {
    if (FocusedControlId() == IDC_MEMBER_LIST) SetFocusControl(IDC_MEMBER_NAME);
    else DialogBase::BackPressed();
  }

 private:
  const std::vector<GroupMember>& Members() const { return groups_.Groups()[group_].members; }

  QLineEdit* AddEdit(int id, const QString& label) {
    AddLabel(0, label);
    auto* edit = new QLineEdit;
    edit->setMaxLength(static_cast<int>(kListLineChars - 2));
    return static_cast<QLineEdit*>(AddControl(id, ControlKind::Edit, edit));
  }

  void AddRow(const GroupMember& member) {
    list_->addTopLevelItem(new QTreeWidgetItem(QStringList{Q(member.name), Q(member.number)}));
  }

  void AddMember() {
    CommitEditLetter(name_);
    CommitEditLetter(phone_);
    GroupMember member{EditText(name_).toStdU16String(), EditText(phone_).toStdU16String()};
    if (member.name.empty() || member.number.empty()) return;
    if (!StorableMember(member.name, member.number)) {
      ErrorBox(*this, "A group can't keep this name and number: no | or ], no [ at the start "
                      "of the name, and at most 258 characters together.");
      return;
    }
    groups_.AddMember(group_, member);
    AddRow(member);
    name_->clear();
    phone_->clear();
    changed_ = true;
  }

  void DeleteMember() {
    int row = list_->indexOfTopLevelItem(list_->currentItem());
    if (row < 0 || !groups_.DeleteMember(group_, static_cast<size_t>(row))) return;
    delete list_->takeTopLevelItem(row);
    changed_ = true;
  }

  GroupList& groups_;
  size_t group_;
  QLineEdit* name_ = nullptr;
  QLineEdit* phone_ = nullptr;
  QTreeWidget* list_ = nullptr;
  bool changed_ = false;
};

}  // namespace

void RunMemberEditor(PhoneScreen& screen, GroupList& groups, size_t group) {
  if (group >= groups.Groups().size()) return;
  MemberEditorDialog dialog(screen, groups, group);
  dialog.DoModal();
  if (dialog.Changed()) groups.Save();
}

}  // namespace brevalo
