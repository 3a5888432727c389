// The main window's menus: menu 101 (the soft-key bar's popups "System" and "Menu") and the
// first popup "TreeNode" of menu 145 (the tree's context menu), and the rules that enable their
// items. Every item whose feature the program does not offer yet is gray, so no item is a
// command that does nothing. Plain data, without Qt.
#pragma once

#include <memory>
#include <string>

#include "ui/popup_menu.h"

namespace brevalo {

// What the enabling rules look at.
struct MenuState {
  enum class Selection { kNone, kRecycleBin, kFolder, kMessage };
  bool documentOpen = false;
  Selection selection = Selection::kNone;
  bool clipboardSet = false;
  bool hasRecycleBin = false;
};

std::shared_ptr<PopupMenu> BuildSystemMenu();
std::shared_ptr<PopupMenu> BuildMainMenu();
std::shared_ptr<PopupMenu> BuildTreeNodeMenu();
// The menu of a row of the Preview window: the tree's commands on one node.
std::shared_ptr<PopupMenu> BuildPreviewMenu();

// The menu text of a command of these menus; empty for others.
std::u16string MainCommandText(int id);

// Whether the program carries out the command; the others are gray wherever they appear.
bool MainCommandAvailable(int id);

// Enables or grays every item of `menu` and its submenus and sets the recycle-bin item's text.
void ApplyMenuRules(PopupMenu& menu, const MenuState& state);

}  // namespace brevalo
