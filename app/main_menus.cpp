#include "app/main_menus.h"

#include <initializer_list>
#include <utility>

#include "app/main_commands.h"
#include "ui/string_table.h"

namespace brevalo {
namespace {

constexpr int kSeparator = 0;

constexpr std::pair<int, const char16_t*> kCommandTexts[] = {
    {ID_VIEW, u"View"},
    {ID_EXIT, u"Exit"},
    {ID_ABOUT, u"About..."},
    {ID_IMPORT_SMS, u"Import SMS..."},
    {ID_COPY, u"Copy"},
    {ID_CUT, u"Cut"},
    {ID_PASTE, u"Paste"},
    {ID_NEW_FOLDER, u"Folder..."},
    {ID_NEW_DRAFT, u"Draft..."},
    {ID_PROPERTY, u"Property..."},
    {ID_PASSWORD, u"Password..."},
    {ID_SAVE, u"Save"},
    {ID_FILE_PROPERTY, u"File Property..."},
    {ID_DELETE, u"Delete"},
    {ID_OPEN, u"Open..."},
    {ID_CLOSE, u"Close"},
    {ID_REPLY, u"Reply..."},
    {ID_NEW_SMS, u"SMS..."},
    {ID_NEW_FILE, u"New..."},
    {ID_PREFERENCE, u"Preference..."},
    {ID_FORWARD, u"Forward..."},
    {ID_EMPTY_RECYCLE_BIN, u"Empty Recycle Bin"},
    {ID_ROOT_FOLDER, u"Root Folder..."},
    {ID_FILTER, u"Filter..."},
    {ID_FILE_PASSWORD, u"File Password..."},
    {ID_BLACK_LIST, u"Black List..."},
    {ID_HOTKEY, u"Hotkey..."},
    {ID_CONTACT_DEFAULT, u"Contact Default..."},
    {ID_STRANGER_DEFAULT, u"Stranger Default..."},
    {ID_EXPORT_TXT, u"Export Txt file..."},
    {ID_MINIMIZE, u"Minimize"},
    {ID_SECURITY, u"Security..."},
    {ID_SMS_OPTIONS, u"SMS..."},
    {ID_RESEND, u"Resend..."},
    {ID_EMPTY_FOLDER, u"Empty Folder"},
    {ID_RECYCLE_BIN, u"Add Recycle Bin"},
    {ID_PREVIEW, u"Preview Mode"},
    {ID_COMPRESS, u"Compress"},
    {ID_ALERT, u"Alert..."},
};

// The commands the program carries out so far.
constexpr int kAvailable[] = {
    ID_OK, ID_MINIMIZE, ID_EXIT, ID_ABOUT, ID_NEW_FILE, ID_OPEN, ID_SAVE, ID_CLOSE, ID_COMPRESS,
    ID_FILE_PROPERTY, ID_DELETE, ID_COPY, ID_CUT, ID_PASTE, ID_EMPTY_FOLDER, ID_EMPTY_RECYCLE_BIN,
    ID_RECYCLE_BIN, ID_EXPORT_TXT, ID_ROOT_FOLDER, ID_NEW_FOLDER, ID_NEW_DRAFT, ID_PREVIEW,
    ID_PROPERTY, ID_PASSWORD, ID_FILE_PASSWORD, ID_IMPORT_SMS, ID_VIEW, ID_NEW_SMS, ID_REPLY,
    ID_FORWARD, ID_RESEND, ID_FILTER, ID_BLACK_LIST, ID_CONTACT_DEFAULT, ID_STRANGER_DEFAULT,
    ID_PREFERENCE, ID_SMS_OPTIONS, ID_ALERT, ID_HOTKEY, ID_SECURITY};

void AddItems(PopupMenu& menu, std::initializer_list<int> ids) {
  for (int id : ids) {
    if (id == kSeparator) menu.AddSeparator();
    else menu.AddItem(id, MainCommandText(id));
  }
}

bool IsMessage(const MenuState& state) { return state.selection == MenuState::Selection::kMessage; }
bool HasNode(const MenuState& state) { return state.documentOpen && state.selection != MenuState::Selection::kNone; }
bool HasNodeOtherThanBin(const MenuState& state) {
  return HasNode(state) && state.selection != MenuState::Selection::kRecycleBin;
}

// The rule of one command; commands without one depend on nothing.
bool RuleAllows(int id, const MenuState& state) {
  switch (id) {
    case ID_EXPORT_TXT:
      return HasNode(state);
    case ID_VIEW: case ID_DELETE: case ID_REPLY: case ID_PROPERTY: case ID_PASSWORD:
    case ID_COPY: case ID_FORWARD: case ID_RESEND: case ID_CUT:
      return HasNodeOtherThanBin(state);
    case ID_IMPORT_SMS: case ID_NEW_FOLDER: case ID_NEW_DRAFT: case ID_EMPTY_FOLDER:
      return HasNode(state) && !IsMessage(state);
    case ID_PASTE:
      // Nothing is pasted under a message, read or unread: a message never has children.
      return state.clipboardSet && HasNode(state) && !IsMessage(state);
    case ID_SAVE: case ID_FILE_PASSWORD: case ID_CLOSE: case ID_FILE_PROPERTY: case ID_COMPRESS:
    case ID_ROOT_FOLDER: case ID_EMPTY_RECYCLE_BIN: case ID_RECYCLE_BIN: case ID_PREVIEW:
      return state.documentOpen;
    default:
      return true;
  }
}

}  // namespace

std::u16string MainCommandText(int id) {
  for (const auto& [command, text] : kCommandTexts) {
    if (command == id) return text;
  }
  return {};
}

bool MainCommandAvailable(int id) {
  for (int command : kAvailable) {
    if (command == id) return true;
  }
  return false;
}

std::shared_ptr<PopupMenu> BuildSystemMenu() {
  auto menu = std::make_shared<PopupMenu>(u"System");
  // Short enough to fit a 240 x 320 screen without scrolling.
  AddItems(*menu, {ID_NEW_FILE, ID_OPEN, ID_SAVE, ID_CLOSE});
  AddItems(menu->AddSubmenu(u"File"), {ID_FILE_PROPERTY, ID_FILE_PASSWORD, ID_COMPRESS});
  menu->AddSeparator();
  AddItems(menu->AddSubmenu(u"Filter"), {ID_FILTER, ID_BLACK_LIST, ID_CONTACT_DEFAULT, ID_STRANGER_DEFAULT});
  AddItems(menu->AddSubmenu(u"Options"), {ID_PREFERENCE, ID_SMS_OPTIONS, ID_ALERT, ID_HOTKEY, ID_SECURITY});
  AddItems(*menu, {kSeparator, ID_ABOUT, ID_EXIT});
  return menu;
}

std::shared_ptr<PopupMenu> BuildMainMenu() {
  auto menu = std::make_shared<PopupMenu>(u"Menu");
  AddItems(*menu, {ID_VIEW, ID_NEW_SMS, ID_REPLY, ID_FORWARD, ID_RESEND});
  AddItems(menu->AddSubmenu(u"New"), {ID_NEW_FOLDER, ID_NEW_DRAFT, ID_ROOT_FOLDER});
  AddItems(menu->AddSubmenu(u"Operate"),
           {ID_COPY, ID_CUT, ID_PASTE, ID_DELETE, kSeparator, ID_EMPTY_FOLDER, ID_EMPTY_RECYCLE_BIN,
            ID_RECYCLE_BIN, kSeparator, ID_IMPORT_SMS, ID_EXPORT_TXT});
  AddItems(*menu, {ID_PROPERTY, ID_PASSWORD, kSeparator, ID_PREVIEW, ID_MINIMIZE});
  return menu;
}

std::shared_ptr<PopupMenu> BuildTreeNodeMenu() {
  auto menu = std::make_shared<PopupMenu>(u"TreeNode");
  AddItems(*menu, {ID_VIEW, ID_DELETE, ID_REPLY, ID_FORWARD, ID_RESEND});
  AddItems(menu->AddSubmenu(u"New"), {ID_NEW_FOLDER, ID_NEW_DRAFT});
  AddItems(menu->AddSubmenu(u"Operate"),
           {ID_COPY, ID_CUT, ID_PASTE, kSeparator, ID_EMPTY_FOLDER, ID_IMPORT_SMS, ID_EXPORT_TXT});
  AddItems(*menu, {ID_PROPERTY, ID_PASSWORD});
  return menu;
}

std::shared_ptr<PopupMenu> BuildPreviewMenu() {
  auto menu = std::make_shared<PopupMenu>(u"TreeNode");
  AddItems(*menu, {ID_VIEW, ID_DELETE, ID_REPLY, ID_FORWARD, ID_RESEND, ID_PROPERTY, ID_PASSWORD});
  return menu;
}

void ApplyMenuRules(PopupMenu& menu, const MenuState& state) {
  for (MenuItem& item : menu.Items()) {
    if (item.submenu) {
      ApplyMenuRules(*item.submenu, state);
    } else if (!item.separator) {
      item.enabled = MainCommandAvailable(item.id) && RuleAllows(item.id, state);
    }
  }
  int binText = state.documentOpen && state.hasRecycleBin ? IDS_DELETE_RECYCLE_BIN : IDS_ADD_RECYCLE_BIN;
  menu.SetText(ID_RECYCLE_BIN, StringTable::Program().Text(binText));
}

}  // namespace brevalo
