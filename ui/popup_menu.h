// Menus of the soft-key bars: a popup is a list of items (commands, separators, submenus)
// with enabling and check or radio marks, and a navigator that drives an open popup with the
// phone's keys. Both are plain data so that windows prepare them and tests check them without
// drawing anything.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "device/screen_remote_keys.h"

namespace brevalo {

class PopupMenu;

struct MenuItem {
  int id = 0;
  std::u16string text;
  bool separator = false;
  bool enabled = true;
  bool checked = false;
  bool radio = false;  // the check mark is drawn as a radio dot
  std::unique_ptr<PopupMenu> submenu;
};

class PopupMenu {
 public:
  explicit PopupMenu(std::u16string title = {}) : title_(std::move(title)) {}
  PopupMenu(const PopupMenu&) = delete;
  PopupMenu& operator=(const PopupMenu&) = delete;

  const std::u16string& Title() const { return title_; }
  PopupMenu& AddItem(int id, std::u16string_view text);
  PopupMenu& AddSeparator();
  // Appends a submenu item and returns the submenu to be filled.
  PopupMenu& AddSubmenu(std::u16string_view text);

  std::vector<MenuItem>& Items() { return items_; }
  const std::vector<MenuItem>& Items() const { return items_; }

  // The command item with this identifier here or in a submenu, depth first.
  MenuItem* Find(int id);
  // The submenu whose item carries this text, here or deeper.
  PopupMenu* FindSubmenu(std::u16string_view text);
  // Each is false when no command item has the identifier.
  bool Enable(int id, bool enabled);
  bool Check(int id, bool checked);
  bool SetText(int id, std::u16string_view text);
  // Marks `id` with a radio dot and clears the marks of the other items first..last of the
  // same popup; false when `id` is not in that range of one popup.
  bool CheckRadio(int first, int last, int id);

 private:
  std::u16string title_;
  std::vector<MenuItem> items_;
};

// Called right before a popup (or one of its submenus) shows, so that its owner sets enabling
// and marks: the init-menu-popup step.
class MenuPreparer {
 public:
  virtual ~MenuPreparer() = default;
  virtual void PrepareMenu(PopupMenu& menu, int position) = 0;
};

// An open popup with its open submenus; the last level is the one the keys move in.
class MenuNavigator {
 public:
  struct Level {
    PopupMenu* menu;
    int selected;  // index into the menu's items, -1 when nothing can be selected
  };
  enum class Outcome { Stay, Closed, Chosen };
  struct Result {
    Outcome outcome = Outcome::Stay;
    int command = 0;  // Chosen
  };

  // Prepares and opens `menu`; `preparer` may be null.
  MenuNavigator(PopupMenu& menu, MenuPreparer* preparer);

  // Up/Down move over items other than separators, wrapping; Right or Action on a submenu opens
  // it (after its preparation); Left or Back close a submenu, Back on the first level closes the
  // menu; Action on an enabled command chooses it, on a disabled one does nothing; 1..9 act on
  // the n-th selectable item of the current level as Action would.
  Result Press(PhoneKey key);

  const std::vector<Level>& Levels() const { return levels_; }
  const MenuItem* SelectedItem() const;

 private:
  void Open(PopupMenu& menu, int position);
  int Step(const PopupMenu& menu, int from, int direction) const;
  Result Activate();

  MenuPreparer* preparer_;
  std::vector<Level> levels_;
};

}  // namespace brevalo
