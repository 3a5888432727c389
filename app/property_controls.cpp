#include "app/property_controls.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/document_properties.h"
#include "ui/edit_input.h"
#include "ui/phone_window.h"

namespace brevalo {

QLineEdit* AddAuthorEdit(PhoneWindow& window, int id, const std::u16string& author) {
  window.AddLabel(0, "Author:");
  auto* edit = new QLineEdit(QString::fromStdU16String(author));
  edit->setMaxLength(kAuthorEditChars);
  window.AddControl(id, ControlKind::Edit, edit);
  return edit;
}

void AddDateRow(PhoneWindow& window, int id, const QString& label, const std::u16string& text) {
  window.AddLabel(0, label);
  window.AddControl(id, ControlKind::Static, new QLabel(QString::fromStdU16String(text)));
}

void AddGrayPasswordButton(PhoneWindow& window, int id) {
  auto* button = new QPushButton("Password...");
  button->setEnabled(false);
  window.AddControl(id, ControlKind::Button, button);
}

std::u16string TakeEditText(QLineEdit* edit) {
  CommitEditLetter(edit);
  return EditText(edit).toStdU16String();
}

}  // namespace brevalo
