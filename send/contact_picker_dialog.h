// The contact picker (dialog 122 "Contacts"): a keyword edit above the list of groups and
// contacts. The compose window and the filter editors open it.
#pragma once

#include <string>

#include "send/contact_picker_model.h"

namespace brevalo {

class PhoneScreen;

// Modal. ID_PICKER_ADD (40090) when something was chosen, ID_PICKER_CANCEL (40016) otherwise.
// One choice: `result` becomes the chosen number and, when `name` is given, *name the
// contact's name. Check boxes: the entries of the checked rows are appended to `result`; the
// picker stays open with an Error box rather than let `result` pass kRecipientTextChars.
int RunContactPicker(PhoneScreen& screen, ContactDirectory& directory, PickerMode mode,
                     std::u16string& result, std::u16string* name = nullptr);

}  // namespace brevalo
