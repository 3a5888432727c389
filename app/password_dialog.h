// The one password dialog of the program ("Password"), for the document, node and rule
// passwords. In ask mode it takes the current password and nothing else; in change mode it
// takes the current one (when there is one) and the new one twice. A wrong entry never closes
// it: the user gives the right password or cancels.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace brevalo {

class PhoneScreen;

enum class PasswordMode { kAsk = 0, kChange = 1 };

// Whether a new password can be kept where it goes (a document's 12-byte field); a password it
// refuses is said to be unusable and the dialog stays open.
using PasswordFits = std::function<bool(std::u16string_view password)>;

// Modal; IDOK or IDCANCEL. `password` holds the current password (empty: none) and, after OK
// in change mode, the new one (empty: the password is removed).
int RunPasswordDialog(PhoneScreen& screen, PasswordMode mode, std::u16string& password,
                      const PasswordFits& fits = {});

// True while any password dialog is open: showing the window then asks no second one.
bool PasswordDialogOpen();

}  // namespace brevalo
