#include "filter/black_list_dialog.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>

#include "filter/black_list_model.h"
#include "filter/filter_list_editor.h"
#include "filter/filter_dialog_controls.h"
#include "send/contact_picker_dialog.h"
#include "send/contact_picker_menus.h"
#include "ui/dialog_base.h"
#include "ui/edit_input.h"
#include "ui/phone_screen.h"

namespace brevalo {
namespace {

constexpr int kFieldChars = 259;

class BlackListDialog : public DialogBase {
 public:
  BlackListDialog(PhoneScreen& screen, FilterEngine& engine, ContactDirectory& contacts)
      : DialogBase(screen, "Black List"), engine_(engine), contacts_(contacts) {
    MenuBar().left = {u"Done", IDOK, nullptr, true};
    MenuBar().right = {u"Delete", ID_BLACK_DELETE, nullptr, true};
  }

  void KeyPressed(PhoneKey key, bool repeat) override {
    // A long press of Action on the list opens its menu when it is let go.
    if (key == PhoneKey::Action && FocusedControlId() == IDC_BLACK_LIST) {
      if (repeat) actionHeld_ = true;
      return;
    }
    DialogBase::KeyPressed(key, repeat);
  }
  void KeyReleased(PhoneKey key) override {
    if (key == PhoneKey::Action && actionHeld_) {
      actionHeld_ = false;
      OpenMenu();
      return;
    }
    DialogBase::KeyReleased(key);
  }

 protected:
  bool OnInitDialog() override {
    AddLabel(0, "Name:");
    name_ = Edit(IDC_BLACK_NAME);
    AddLabel(0, "Phone:");
    phone_ = Edit(IDC_BLACK_PHONE);
    AddTappable(*this, IDC_BLACK_CONTACT, ControlKind::Button, new QPushButton("Contact"));
    AddTappable(*this, IDC_BLACK_ADD, ControlKind::Button, new QPushButton("Add"));
    model_ = new BlackListModel(engine_, this);
    list_ = NewRowList(model_);
    list_->header()->setStretchLastSection(true);
    list_->header()->setSectionsMovable(false);
    list_->setMinimumHeight(120);
    list_->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(list_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
      QModelIndex index = list_->indexAt(at);
      if (index.isValid()) list_->setCurrentIndex(index);
      OpenMenu();
    });
    AddControl(IDC_BLACK_LIST, ControlKind::List, list_);
    // Numbers are the longer column.
    list_->header()->resizeSection(0, Screen().WindowArea().width() * 2 / 5);
    Select(0);
    SetFocusControl(IDC_BLACK_NAME);
    return true;
  }

  void OnCommand(int id, uint16_t code) override {
    if (code != BN_CLICKED) return;
    switch (id) {
      case IDOK: case IDCANCEL: EndDialog(IDOK); break;
      case IDC_BLACK_ADD: Add(); break;
      case IDC_BLACK_CONTACT: FromContact(); break;
      case ID_BLACK_DELETE: Delete(); break;
      default: break;
    }
  }

  // Every change is in the engine already: Back leaves as Done does.
  void BackPressed() override { EndDialog(IDOK); }

 private:
  QLineEdit* Edit(int id) {
    auto* edit = new QLineEdit;
    edit->setMaxLength(kFieldChars);
    AddControl(id, ControlKind::Edit, edit);
    return edit;
  }
  static std::u16string Text(QLineEdit* edit) {
    CommitEditLetter(edit);
    return edit->text().toStdU16String();
  }
  int SelectedRow() const {
    QModelIndex current = list_->currentIndex();
    return current.isValid() ? current.row() : -1;
  }
  void Select(int row) {
    if (row < 0 || row >= model_->rowCount()) return;
    list_->setCurrentIndex(model_->index(row, 0));
    list_->scrollTo(model_->index(row, 0));
  }

  void Add() {
    const std::u16string name = Text(name_);
    const std::u16string number = BlackListNumber(Text(phone_));
    const int row = model_->Add(name, number);
    if (row < 0) return;
    Select(row);
    name_->clear();
    phone_->clear();
    Screen().Refresh();
  }

  void FromContact() {
    std::u16string number;
    std::u16string name;
    if (RunContactPicker(Screen(), contacts_, PickerMode::kSingle, number, &name) != ID_PICKER_ADD) return;
    if (!number.empty()) phone_->setText(QString::fromStdU16String(number));
    if (!name.empty()) name_->setText(QString::fromStdU16String(name));
    SetFocusControl(IDC_BLACK_ADD);
  }

  void Delete() {
    const int row = SelectedRow();
    if (!model_->Remove(row)) return;
    Select(std::min(row, model_->rowCount() - 1));
    Screen().Refresh();
  }

  void OpenMenu() {
    auto menu = std::make_shared<PopupMenu>(u"Black List");
    menu->AddItem(ID_BLACK_DELETE, u"Delete");
    Screen().OpenPopup(this, menu, false);
  }

  FilterEngine& engine_;
  ContactDirectory& contacts_;
  BlackListModel* model_ = nullptr;
  QTreeView* list_ = nullptr;
  QLineEdit* name_ = nullptr;
  QLineEdit* phone_ = nullptr;
  bool actionHeld_ = false;
};

}  // namespace

int RunBlackList(PhoneScreen& screen, FilterEngine& engine, ContactDirectory& contacts) {
  BlackListDialog dialog(screen, engine, contacts);
  return dialog.DoModal();
}

}  // namespace brevalo
