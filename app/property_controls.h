// The rows the document's property dialogs share: an author edit, a date shown as text and the
// "Password..." button, and the password change behind that button.
#pragma once

#include <QString>

#include <cstddef>
#include <string>

#include "device/code_page.h"

class QLineEdit;

namespace brevalo {

class PhoneWindow;

QLineEdit* AddAuthorEdit(PhoneWindow& window, int id, const std::u16string& author);
void AddDateRow(PhoneWindow& window, int id, const QString& label, const std::u16string& text);
void AddPasswordButton(PhoneWindow& window, int id);
// The password dialog in change mode on the password of a fixed 12-byte field in `page`; on OK
// the field holds the new password (empty: none) and the answer is true. A password that the
// field cannot give back exactly is refused in the dialog.
bool ChangeFieldPassword(PhoneWindow& window, char* field, size_t capacity, const CodePage& page);
// The text of an edit with any letter still being chosen by multi-tap taken as typed.
std::u16string TakeEditText(QLineEdit* edit);

}  // namespace brevalo
