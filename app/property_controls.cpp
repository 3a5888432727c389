#include "app/property_controls.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/document_properties.h"
#include "app/password_dialog.h"
#include "store/password_field.h"
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

void AddPasswordButton(PhoneWindow& window, int id) {
  window.AddControl(id, ControlKind::Button, new QPushButton("Password..."));
}

bool ChangeFieldPassword(PhoneWindow& window, char* field, size_t capacity, const CodePage& page) {
  std::u16string password = page.FromFixedField(field, capacity);
  auto fits = [&page](std::u16string_view typed) { return FitsPasswordField(page, typed); };
  if (RunPasswordDialog(window.Screen(), PasswordMode::kChange, password, fits) != IDOK) return false;
  page.ToFixedField(password, field, capacity);
  return true;
}

std::u16string TakeEditText(QLineEdit* edit) {
  CommitEditLetter(edit);
  return EditText(edit).toStdU16String();
}

}  // namespace brevalo
