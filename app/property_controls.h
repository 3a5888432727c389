// The rows the document's property dialogs share: an author edit, a date shown as text and the
// "Password..." button, which stays gray until passwords can be changed.
#pragma once

#include <QString>

#include <string>

class QLineEdit;

namespace brevalo {

class PhoneWindow;

QLineEdit* AddAuthorEdit(PhoneWindow& window, int id, const std::u16string& author);
void AddDateRow(PhoneWindow& window, int id, const QString& label, const std::u16string& text);
void AddGrayPasswordButton(PhoneWindow& window, int id);
// The text of an edit with any letter still being chosen by multi-tap taken as typed.
std::u16string TakeEditText(QLineEdit* edit);

}  // namespace brevalo
