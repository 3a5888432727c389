#include "send/contact_picker_dialog.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QPointer>
#include <QTreeWidget>

#include "send/contact_picker_menus.h"
#include "send/control_rows.h"
#include "send/group_chooser_dialog.h"
#include "send/member_editor_dialog.h"
#include "ui/dialog_base.h"
#include "ui/edit_input.h"
#include "ui/hint_window.h"
#include "ui/message_box.h"
#include "ui/phone_screen.h"
#include "ui/view_paging.h"

namespace brevalo {
namespace {

enum PickerControl { IDC_PICKER_KEYWORD = 1035, IDC_PICKER_LIST = 1001 };

constexpr int kKindColumnWidth = 20;
// Two presses of Action on one row within this time are a double click.
constexpr int64_t kDoubleClickMs = 500;

// The keyword edit's input mode, kept from one picker to the next while the program runs.
RememberedInputMode& KeywordInputMode() {
  static RememberedInputMode mode;
  return mode;
}

QString Q(std::u16string_view text) { return QString::fromStdU16String(std::u16string(text)); }

class ContactPickerDialog : public DialogBase {
 public:
  ContactPickerDialog(PhoneScreen& screen, ContactDirectory& directory, PickerMode mode,
                      size_t room)
      : DialogBase(screen, "Contacts"), directory_(directory), model_(directory, mode), room_(room) {
    MenuBar() = PickerMenuBar(mode);
  }
  ~ContactPickerDialog() override { delete hint_; }

  int ChosenRow() const { return chosenRow_; }
  const ContactPickerModel& Model() const { return model_; }
  const std::u16string& Entries() const { return entries_; }

 protected:
  bool OnInitDialog() override {
    AddLabel(0, "Keyword");
    keyword_ = static_cast<QLineEdit*>(AddControl(IDC_PICKER_KEYWORD, ControlKind::Edit, new QLineEdit));
    list_ = NewTwoColumnList({"Name", ""}, kKindColumnWidth);
    list_->setFixedHeight(std::max(80, Screen().WindowArea().height() - 62));
    AddControl(IDC_PICKER_LIST, ControlKind::Tree, list_);
    hint_ = new HintWindow(Screen());
    Refill(std::nullopt);
    RebuildCategories();
    KeywordInputMode().Apply(keyword_);
    SetFocusControl(IDC_PICKER_KEYWORD);
    opened_ = true;
    return true;
  }

  void OnInitMenuPopup(PopupMenu& menu, int) override {
    hint_->hide();  // it would stand above the menu
    const bool group = SelectedRow() >= 0 && model_.Rows()[static_cast<size_t>(SelectedRow())].group;
    menu.Enable(ID_PICKER_EDIT_GROUP, group);
    menu.Enable(ID_PICKER_DELETE_GROUP, group);
  }

  void OnCommand(int id, uint16_t code) override {
    bool isCategory = false;
    std::optional<size_t> category = CategoryOfCommand(id, directory_.Categories().size(), &isCategory);
    if (isCategory) return ChooseCategory(category);
    switch (id) {
      case IDC_PICKER_KEYWORD:
        if (code == EN_CHANGE) SearchKeyword();
        return;
      case IDOK:
      case ID_PICKER_OK:
      case ID_PICKER_ADD:
        return Accept();
      case IDCANCEL:
      case ID_PICKER_CANCEL:
        KeywordInputMode().Remember(keyword_);
        return EndDialog(ID_PICKER_CANCEL);
      case ID_PICKER_CHECK_ALL:
      case ID_PICKER_UNCHECK_ALL:
        return CheckAll(id == ID_PICKER_CHECK_ALL);
      case ID_PICKER_REFRESH:
        directory_.Refresh();
        Refill(std::nullopt);
        return RebuildCategories();
      case ID_PICKER_ADD_TO_GROUP:
        return AddToGroup();
      case ID_PICKER_EDIT_GROUP:
        return EditGroup(SelectedRow());
      case ID_PICKER_DELETE_GROUP:
        return DeleteGroup();
      default:
        return;
    }
  }

  void OnNotify(const Notification& notification) override {
    if (notification.controlId == IDC_PICKER_LIST && notification.code == TVN_SELCHANGED && opened_) {
      ShowHint(notification.row);
    }
  }

  void KeyPressed(PhoneKey key, bool repeat) override {
    if (FocusedControlId() == IDC_PICKER_LIST && ListKey(key, repeat)) return;
    DialogBase::KeyPressed(key, repeat);
  }

 private:
  int SelectedRow() const {
    QTreeWidgetItem* item = list_->currentItem();
    return item ? list_->indexOfTopLevelItem(item) : -1;
  }

  bool ListKey(PhoneKey key, bool repeat) {
    if (key == PhoneKey::Left || key == PhoneKey::Right) {
      PageListView(*list_, key == PhoneKey::Right);
      return true;
    }
    if (repeat) return false;
    if (key == PhoneKey::Digit5) {
      CycleNumber(SelectedRow());
      return true;
    }
    if (key == PhoneKey::Action) {
      ActOnRow(SelectedRow());
      return true;
    }
    return false;
  }

  void ActOnRow(int row) {
    if (row < 0) return;
    if (!model_.HasCheckBoxes()) return Accept();
    const int64_t now = Screen().NowMs();
    const bool doubleClick = row == lastActionRow_ && now - lastActionMs_ < kDoubleClickMs;
    lastActionRow_ = doubleClick ? -1 : row;
    lastActionMs_ = now;
    // The first press of a double click has marked the row; the second takes the mark back,
    // so the row is as it was when its editor opens.
    SetChecked(row, !model_.Rows()[static_cast<size_t>(row)].checked);
    if (doubleClick && model_.Rows()[static_cast<size_t>(row)].group) EditGroup(row);
  }

  void SetChecked(int row, bool checked) {
    model_.SetChecked(static_cast<size_t>(row), checked);
    list_->topLevelItem(row)->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
  }

  void CycleNumber(int row) {
    if (row < 0 || !model_.CycleNumber(static_cast<size_t>(row))) return;
    list_->topLevelItem(row)->setText(1, Q(model_.KindLetter(static_cast<size_t>(row))));
    ShowHint(row);
  }

  void ShowHint(int row) {
    if (row < 0 || row >= static_cast<int>(model_.Rows().size())) return;
    QRect rect = list_->visualItemRect(list_->topLevelItem(row));
    rect.moveTopLeft(list_->viewport()->mapTo(this, rect.topLeft()));
    hint_->ShowAbove(Q(model_.HintText(static_cast<size_t>(row))), rect);
  }

  QTreeWidgetItem* MakeItem(size_t row) const {
    auto* item = new QTreeWidgetItem(QStringList{Q(model_.Name(row)), Q(model_.KindLetter(row))});
    item->setTextAlignment(1, Qt::AlignCenter);
    if (model_.HasCheckBoxes()) {
      item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
      item->setCheckState(0, model_.Rows()[row].checked ? Qt::Checked : Qt::Unchecked);
    }
    return item;
  }

  void ShowRows() {
    list_->clear();
    for (size_t row = 0; row < model_.Rows().size(); ++row) list_->addTopLevelItem(MakeItem(row));
    if (list_->topLevelItemCount() > 0) list_->setCurrentItem(list_->topLevelItem(0));
  }

  void Refill(std::optional<size_t> category) {
    model_.Fill(category);
    ShowRows();
  }

  void RebuildCategories() {
    RebuildCategoryMenu(*MenuBar().right.popup, directory_.Categories());
    MenuBarChanged();
  }

  void ChooseCategory(std::optional<size_t> category) {
    Refill(category);
    MarkCategory(*MenuBar().right.popup, category);
  }

  void SearchKeyword() {
    std::optional<size_t> row = model_.FindKeyword(EditText(keyword_).toStdU16String());
    if (row) SelectRowAtTop(*list_, static_cast<int>(*row));
  }

  void CheckAll(bool checked) {
    list_->setUpdatesEnabled(false);
    for (int row = 0; row < list_->topLevelItemCount(); ++row) SetChecked(row, checked);
    list_->setUpdatesEnabled(true);
  }

  void Accept() {
    KeywordInputMode().Remember(keyword_);
    if (!model_.HasCheckBoxes()) {
      chosenRow_ = SelectedRow();
      if (chosenRow_ >= 0) EndDialog(ID_PICKER_ADD);
      return;
    }
    std::optional<std::u16string> entries = model_.CheckedEntries(room_);
    if (!entries) {
      ErrorBox(*this, QString("The checked recipients take more than the %1 characters a message "
                              "can be sent to. Uncheck some of them.")
                          .arg(kRecipientTextChars));
      return;
    }
    entries_ = std::move(*entries);
    EndDialog(ID_PICKER_ADD);
  }

  // Replaces the group rows at the top, keeping the contact rows and their marks.
  void ShowGroupRows() {
    for (int row = static_cast<int>(model_.GroupRowCount()) - 1; row >= 0; --row) {
      delete list_->takeTopLevelItem(row);
    }
    model_.RebuildGroupRows();
    for (size_t row = model_.GroupRowCount(); row-- > 0;) list_->insertTopLevelItem(0, MakeItem(row));
    if (!list_->currentItem() && list_->topLevelItemCount() > 0) list_->setCurrentItem(list_->topLevelItem(0));
  }

  void AddToGroup() {
    hint_->hide();  // it belongs to this window, not to the one that opens above it
    GroupChoice choice = RunGroupChooser(Screen(), directory_.Groups());
    if (choice.result == IDOK && choice.group) model_.AddCheckedContactsTo(*choice.group);
    if (choice.changed) ShowGroupRows();
    directory_.Groups().Save();
  }

  void EditGroup(int row) {
    if (row < 0 || !model_.Rows()[static_cast<size_t>(row)].group) return;
    hint_->hide();
    RunMemberEditor(Screen(), directory_.Groups(), model_.Rows()[static_cast<size_t>(row)].index);
  }

  void DeleteGroup() {
    int row = SelectedRow();
    if (row < 0 || !model_.DeleteGroupOfRow(static_cast<size_t>(row))) return;
    delete list_->takeTopLevelItem(row);
  }

  ContactDirectory& directory_;
  ContactPickerModel model_;
  size_t room_;
  QLineEdit* keyword_ = nullptr;
  QTreeWidget* list_ = nullptr;
  QPointer<HintWindow> hint_;
  bool opened_ = false;
  int chosenRow_ = -1;
  int lastActionRow_ = -1;
  int64_t lastActionMs_ = 0;
  std::u16string entries_;
};

}  // namespace

int RunContactPicker(PhoneScreen& screen, ContactDirectory& directory, PickerMode mode,
                     std::u16string& result, std::u16string* name) {
  const size_t room = kRecipientTextChars - std::min(result.size(), kRecipientTextChars);
  ContactPickerDialog dialog(screen, directory, mode, room);
  if (dialog.DoModal() != ID_PICKER_ADD) return ID_PICKER_CANCEL;
  if (mode != PickerMode::kSingle) {
    result += dialog.Entries();
    return ID_PICKER_ADD;
  }
  const size_t row = static_cast<size_t>(dialog.ChosenRow());
  result = dialog.Model().Number(row);
  if (name != nullptr) *name = dialog.Model().Name(row);
  return ID_PICKER_ADD;
}

}  // namespace brevalo
