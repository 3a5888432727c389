#include "settings/option_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "ui/edit_input.h"

namespace brevalo {

OptionPage::OptionPage(PhoneScreen& screen, const QString& title) : DialogBase(screen, title) {}

void OptionPage::OnCommand(int id, uint16_t code) {
  if (code == BN_CLICKED && id == IDOK) {
    if (Accept()) EndDialog(IDOK);
  } else if (code == BN_CLICKED && id == IDCANCEL) {
    EndDialog(IDCANCEL);
  } else {
    OnControl(id, code);
  }
}

QCheckBox* OptionPage::AddCheck(int id, const QString& text, bool checked) {
  auto* check = new QCheckBox(text);
  check->setChecked(checked);
  AddControl(id, ControlKind::CheckBox, check);
  return check;
}

QLineEdit* OptionPage::AddNumberBox(int labelId, const QString& label, int id, int64_t value) {
  QLineEdit* box = AddTextBox(labelId, label, id, QString::number(value).toStdU16String());
  SetEditInputMode(box, InputMode::Numbers);
  return box;
}

QLineEdit* OptionPage::AddTextBox(int labelId, const QString& label, int id, const std::u16string& text) {
  AddLabel(labelId, label);
  auto* box = new QLineEdit(QString::fromStdU16String(text));
  AddControl(id, ControlKind::Edit, box);
  return box;
}

QComboBox* OptionPage::AddSpin(int labelId, const QString& label, int id, const QStringList& items, int current) {
  AddLabel(labelId, label);
  auto* spin = new QComboBox;
  spin->addItems(items);
  spin->setCurrentIndex(current);
  AddControl(id, ControlKind::SpinList, spin);
  return spin;
}

QPushButton* OptionPage::AddButton(int id, const QString& text) {
  auto* button = new QPushButton(text);
  AddControl(id, ControlKind::Button, button);
  return button;
}

bool OptionPage::Checked(int id) const {
  auto* check = qobject_cast<QCheckBox*>(Control(id));
  return check && check->isChecked();
}

int OptionPage::Choice(int id) const {
  auto* spin = qobject_cast<QComboBox*>(Control(id));
  return spin ? spin->currentIndex() : 0;
}

std::u16string OptionPage::BoxText(int id) {
  QWidget* box = Control(id);
  if (!box) return {};
  CommitEditLetter(box);
  return EditText(box).toStdU16String();
}

void OptionPage::Enable(int id, bool enabled) {
  if (QWidget* control = Control(id)) control->setEnabled(enabled);
}

}  // namespace brevalo
