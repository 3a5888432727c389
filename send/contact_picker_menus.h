// The soft keys of the contact picker: menu 202 for one choice ("OK"; "Menu" with Refresh,
// Category and Cancel) and menu 133 for check boxes ("Add"; "Menu" with Refresh, Category,
// Check All, Uncheck All, the group commands and Cancel), and its Category submenu.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "send/contact_picker_model.h"
#include "ui/soft_key_bar.h"

namespace brevalo {

enum PickerCommand {
  ID_PICKER_OK = 40015,
  ID_PICKER_CANCEL = 40016,
  ID_PICKER_ADD = 40090,
  ID_PICKER_CHECK_ALL = 40191,
  ID_PICKER_UNCHECK_ALL = 40254,
  ID_PICKER_REFRESH = 40372,
  ID_PICKER_CATEGORY_ALL = 40373,
  ID_PICKER_CATEGORY_FIRST = 40374,
  ID_PICKER_ADD_TO_GROUP = 40419,
  ID_PICKER_EDIT_GROUP = 40422,
  ID_PICKER_DELETE_GROUP = 40423,
};

SoftKeyMenuBar PickerMenuBar(PickerMode mode);

// Keeps "All" and puts one entry per category after it, in the order given, with "All" marked.
void RebuildCategoryMenu(PopupMenu& menu, const std::vector<std::u16string>& categories);
// Moves the radio mark to the chosen category, or to "All".
void MarkCategory(PopupMenu& menu, std::optional<size_t> category);
// The command of the n-th category: 40374 onwards, and past the picker's own commands a range
// of its own, so that no category ever shares a command with another entry.
int CategoryCommand(size_t category);
// The category a command of the submenu chooses; nothing for "All" and for other commands
// (*isCategory tells them apart).
std::optional<size_t> CategoryOfCommand(int command, size_t categories, bool* isCategory);

}  // namespace brevalo
