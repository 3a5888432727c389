#include "ui/popup_menu.h"

namespace brevalo {

PopupMenu& PopupMenu::AddItem(int id, std::u16string_view text) {
  MenuItem item;
  item.id = id;
  item.text = text;
  items_.push_back(std::move(item));
  return *this;
}

PopupMenu& PopupMenu::AddSeparator() {
  MenuItem item;
  item.separator = true;
  items_.push_back(std::move(item));
  return *this;
}

PopupMenu& PopupMenu::AddSubmenu(std::u16string_view text) {
  MenuItem item;
  item.text = text;
  item.submenu = std::make_unique<PopupMenu>(std::u16string(text));
  items_.push_back(std::move(item));
  return *items_.back().submenu;
}

MenuItem* PopupMenu::Find(int id) {
  for (MenuItem& item : items_) {
    if (item.submenu) {
      if (MenuItem* inner = item.submenu->Find(id)) return inner;
    } else if (!item.separator && item.id == id) {
      return &item;
    }
  }
  return nullptr;
}

PopupMenu* PopupMenu::FindSubmenu(std::u16string_view text) {
  for (MenuItem& item : items_) {
    if (!item.submenu) continue;
    if (item.text == text) return item.submenu.get();
    if (PopupMenu* inner = item.submenu->FindSubmenu(text)) return inner;
  }
  return nullptr;
}

bool PopupMenu::Enable(int id, bool enabled) {
  MenuItem* item = Find(id);
  if (item) item->enabled = enabled;
  return item != nullptr;
}

bool PopupMenu::Check(int id, bool checked) {
  MenuItem* item = Find(id);
  if (!item) return false;
  item->checked = checked;
  item->radio = false;
  return true;
}

bool PopupMenu::SetText(int id, std::u16string_view text) {
  MenuItem* item = Find(id);
  if (item) item->text = text;
  return item != nullptr;
}

bool PopupMenu::CheckRadio(int first, int last, int id) {
  if (id < first || id > last) return false;
  for (MenuItem& item : items_) {
    if (item.submenu && item.submenu->CheckRadio(first, last, id)) return true;
  }
  bool here = false;
  for (const MenuItem& item : items_) here = here || (!item.separator && !item.submenu && item.id == id);
  if (!here) return false;
  for (MenuItem& item : items_) {
    if (item.separator || item.submenu || item.id < first || item.id > last) continue;
    item.checked = item.id == id;
    item.radio = item.checked;
  }
  return true;
}

MenuNavigator::MenuNavigator(PopupMenu& menu, MenuPreparer* preparer) : preparer_(preparer) {
  Open(menu, 0);
}

void MenuNavigator::Open(PopupMenu& menu, int position) {
  if (preparer_) preparer_->PrepareMenu(menu, position);
  levels_.push_back({&menu, Step(menu, -1, 1)});
}

int MenuNavigator::Step(const PopupMenu& menu, int from, int direction) const {
  int count = static_cast<int>(menu.Items().size());
  for (int i = 1; i <= count; ++i) {
    int index = ((from + direction * i) % count + count) % count;
    if (!menu.Items()[index].separator) return index;
  }
  return -1;
}

const MenuItem* MenuNavigator::SelectedItem() const {
  const Level& level = levels_.back();
  if (level.selected < 0) return nullptr;
  return &level.menu->Items()[level.selected];
}

MenuNavigator::Result MenuNavigator::Activate() {
  Level& level = levels_.back();
  if (level.selected < 0) return {};
  MenuItem& item = level.menu->Items()[level.selected];
  if (!item.enabled) return {};
  if (item.submenu) {
    Open(*item.submenu, level.selected);
    return {};
  }
  return {Outcome::Chosen, item.id};
}

MenuNavigator::Result MenuNavigator::Press(PhoneKey key) {
  Level& level = levels_.back();
  switch (key) {
    case PhoneKey::Up:
    case PhoneKey::Down:
      if (level.selected >= 0) level.selected = Step(*level.menu, level.selected, key == PhoneKey::Up ? -1 : 1);
      return {};
    case PhoneKey::Action:
      return Activate();
    case PhoneKey::Right: {
      const MenuItem* item = SelectedItem();
      if (item && item->submenu && item->enabled) return Activate();
      return {};
    }
    case PhoneKey::Left:
      if (levels_.size() > 1) levels_.pop_back();
      return {};
    case PhoneKey::Back:
      if (levels_.size() == 1) return {Outcome::Closed, 0};
      levels_.pop_back();
      return {};
    default:
      break;
  }
  std::optional<int> digit = DigitOf(key);
  if (!digit || *digit == 0) return {};
  int seen = 0;
  for (size_t i = 0; i < level.menu->Items().size(); ++i) {
    if (level.menu->Items()[i].separator) continue;
    if (++seen == *digit) {
      level.selected = static_cast<int>(i);
      return Activate();
    }
  }
  return {};
}

}  // namespace brevalo
