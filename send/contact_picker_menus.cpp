#include "send/contact_picker_menus.h"

#include <memory>

namespace brevalo {
namespace {

constexpr std::u16string_view kCategory = u"Category";

// Category commands run from 40374 up to the first command of the group functions; further
// categories take commands of their own far above, so that none of them ever means Add to
// Group.
constexpr size_t kLowCategoryCommands = ID_PICKER_ADD_TO_GROUP - ID_PICKER_CATEGORY_FIRST;
constexpr int kHighCategoryFirst = 50000;

void AddCategorySubmenu(PopupMenu& menu) {
  menu.AddSubmenu(kCategory).AddItem(ID_PICKER_CATEGORY_ALL, u"All");
  MarkCategory(menu, std::nullopt);
}

std::shared_ptr<PopupMenu> OneChoiceMenu() {
  auto menu = std::make_shared<PopupMenu>(u"Menu");
  menu->AddItem(ID_PICKER_REFRESH, u"Refresh");
  AddCategorySubmenu(*menu);
  menu->AddItem(ID_PICKER_CANCEL, u"Cancel");
  return menu;
}

std::shared_ptr<PopupMenu> CheckBoxMenu(PickerMode mode) {
  auto menu = std::make_shared<PopupMenu>(u"Menu");
  menu->AddItem(ID_PICKER_REFRESH, u"Refresh");
  AddCategorySubmenu(*menu);
  menu->AddItem(ID_PICKER_CHECK_ALL, u"Check All").AddItem(ID_PICKER_UNCHECK_ALL, u"Uncheck All");
  menu->AddSeparator()
      .AddItem(ID_PICKER_ADD_TO_GROUP, u"Add to Group...")
      .AddItem(ID_PICKER_EDIT_GROUP, u"Edit Group...")
      .AddItem(ID_PICKER_DELETE_GROUP, u"Delete Group")
      .AddSeparator()
      .AddItem(ID_PICKER_CANCEL, u"Cancel");
  if (mode == PickerMode::kMultiple) {
    // Without groups the separator, "Add to Group..." and "Edit Group..." go; "Delete Group"
    // stays, gray, since no row is ever a group.
    auto& items = menu->Items();
    items.erase(items.begin() + 4, items.begin() + 7);
  }
  return menu;
}

}  // namespace

SoftKeyMenuBar PickerMenuBar(PickerMode mode) {
  SoftKeyMenuBar bar;
  if (mode == PickerMode::kSingle) {
    bar.left = {u"OK", 1, nullptr, true};
    bar.right = {u"Menu", 0, OneChoiceMenu(), true};
  } else {
    bar.left = {u"Add", ID_PICKER_ADD, nullptr, true};
    bar.right = {u"Menu", 0, CheckBoxMenu(mode), true};
  }
  return bar;
}

void RebuildCategoryMenu(PopupMenu& menu, const std::vector<std::u16string>& categories) {
  PopupMenu* submenu = menu.FindSubmenu(kCategory);
  if (submenu == nullptr) return;
  auto& items = submenu->Items();
  if (items.size() > 1) items.erase(items.begin() + 1, items.end());
  for (size_t i = 0; i < categories.size(); ++i) {
    submenu->AddItem(CategoryCommand(i), categories[i]);
  }
  MarkCategory(menu, std::nullopt);
}

void MarkCategory(PopupMenu& menu, std::optional<size_t> category) {
  PopupMenu* submenu = menu.FindSubmenu(kCategory);
  if (submenu == nullptr) return;
  const int chosen = category ? CategoryCommand(*category) : ID_PICKER_CATEGORY_ALL;
  for (MenuItem& item : submenu->Items()) {
    item.checked = item.id == chosen;
    item.radio = item.checked;
  }
}

int CategoryCommand(size_t category) {
  if (category < kLowCategoryCommands) return ID_PICKER_CATEGORY_FIRST + static_cast<int>(category);
  return kHighCategoryFirst + static_cast<int>(category - kLowCategoryCommands);
}

std::optional<size_t> CategoryOfCommand(int command, size_t categories, bool* isCategory) {
  std::optional<size_t> category;
  if (command >= ID_PICKER_CATEGORY_FIRST && command < ID_PICKER_ADD_TO_GROUP) {
    category = static_cast<size_t>(command - ID_PICKER_CATEGORY_FIRST);
  } else if (command >= kHighCategoryFirst) {
    category = kLowCategoryCommands + static_cast<size_t>(command - kHighCategoryFirst);
  }
  if (category && *category >= categories) category.reset();
  *isCategory = command == ID_PICKER_CATEGORY_ALL || category.has_value();
  return category;
}

}  // namespace brevalo
