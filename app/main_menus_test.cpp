#include "app/main_menus.h"

#include <set>
#include <vector>

#include <gtest/gtest.h>

#include "app/main_commands.h"

namespace brevalo {
namespace {

using Selection = MenuState::Selection;

void CollectCommands(const PopupMenu& menu, std::vector<int>& ids) {
  for (const MenuItem& item : menu.Items()) {
    if (item.submenu) CollectCommands(*item.submenu, ids);
    else if (!item.separator) ids.push_back(item.id);
  }
}

std::vector<int> Commands(const PopupMenu& menu) {
  std::vector<int> ids;
  CollectCommands(menu, ids);
  return ids;
}

std::vector<std::u16string> TopTexts(const PopupMenu& menu) {
  std::vector<std::u16string> texts;
  for (const MenuItem& item : menu.Items()) {
    if (!item.separator) texts.push_back(item.text);
  }
  return texts;
}

// Every command of the main window, the OK key's aside.
const std::set<int> kAllCommands = {
    ID_VIEW, ID_EXIT, ID_ABOUT, ID_IMPORT_SMS, ID_COPY, ID_CUT, ID_PASTE, ID_NEW_FOLDER,
    ID_NEW_DRAFT, ID_PROPERTY, ID_PASSWORD, ID_SAVE, ID_FILE_PROPERTY, ID_DELETE, ID_OPEN,
    ID_CLOSE, ID_REPLY, ID_NEW_SMS, ID_NEW_FILE, ID_PREFERENCE, ID_FORWARD, ID_EMPTY_RECYCLE_BIN,
    ID_ROOT_FOLDER, ID_FILTER, ID_FILE_PASSWORD, ID_BLACK_LIST, ID_HOTKEY, ID_CONTACT_DEFAULT,
    ID_STRANGER_DEFAULT, ID_EXPORT_TXT, ID_MINIMIZE, ID_SECURITY, ID_SMS_OPTIONS, ID_RESEND,
    ID_EMPTY_FOLDER, ID_RECYCLE_BIN, ID_PREVIEW, ID_COMPRESS, ID_ALERT};

TEST(MainMenusTest, MenuBarCarriesEveryCommandOnceWithItsText) {
  std::vector<int> ids = Commands(*BuildSystemMenu());
  std::vector<int> right = Commands(*BuildMainMenu());
  ids.insert(ids.end(), right.begin(), right.end());
  std::multiset<int> counted(ids.begin(), ids.end());
  for (int id : kAllCommands) {
    EXPECT_EQ(counted.count(id), 1u) << "command " << id;
    EXPECT_FALSE(MainCommandText(id).empty()) << "command " << id;
  }
  EXPECT_EQ(ids.size(), kAllCommands.size());
}

TEST(MainMenusTest, TreeNodeMenuHasItsEntriesInOrder) {
  auto menu = BuildTreeNodeMenu();
  EXPECT_EQ(menu->Title(), u"TreeNode");
  std::vector<std::u16string> expected = {u"View", u"Delete", u"Reply...", u"Forward...", u"Resend...",
                                          u"New", u"Operate", u"Property...", u"Password..."};
  EXPECT_EQ(TopTexts(*menu), expected);
}

TEST(MainMenusTest, OnlyWhatTheProgramOffersIsEnabled) {
  // Even with everything a rule could ask for, an item the program cannot carry out is gray.
  MenuState everything{true, Selection::kFolder, true, true};
  for (const auto& menu : {BuildSystemMenu(), BuildMainMenu(), BuildTreeNodeMenu()}) {
    ApplyMenuRules(*menu, everything);
    for (int id : Commands(*menu)) {
      EXPECT_EQ(menu->Find(id)->enabled, MainCommandAvailable(id)) << "command " << id;
    }
  }
  for (int id : {ID_ABOUT, ID_MINIMIZE, ID_EXIT}) EXPECT_TRUE(MainCommandAvailable(id)) << id;
}

TEST(MainMenusTest, DocumentItemsAreGrayWithoutADocument) {
  auto system = BuildSystemMenu();
  ApplyMenuRules(*system, MenuState{});
  for (int id : {ID_SAVE, ID_FILE_PASSWORD, ID_CLOSE, ID_FILE_PROPERTY, ID_COMPRESS}) {
    EXPECT_FALSE(system->Find(id)->enabled) << id;
  }
  EXPECT_TRUE(system->Find(ID_EXIT)->enabled);
  EXPECT_TRUE(system->Find(ID_ABOUT)->enabled);
  // The rules live beside the program, not in a document.
  for (int id : {ID_FILTER, ID_BLACK_LIST, ID_CONTACT_DEFAULT, ID_STRANGER_DEFAULT}) {
    EXPECT_TRUE(system->Find(id)->enabled) << id;
  }
}

TEST(MainMenusTest, RecycleBinItemNamesWhatItWillDo) {
  auto menu = BuildMainMenu();
  ApplyMenuRules(*menu, MenuState{true, Selection::kNone, false, true});
  EXPECT_EQ(menu->Find(ID_RECYCLE_BIN)->text, u"Delete Recycle Bin");
  ApplyMenuRules(*menu, MenuState{true, Selection::kNone, false, false});
  EXPECT_EQ(menu->Find(ID_RECYCLE_BIN)->text, u"Add Recycle Bin");
  ApplyMenuRules(*menu, MenuState{false, Selection::kNone, false, true});
  EXPECT_EQ(menu->Find(ID_RECYCLE_BIN)->text, u"Add Recycle Bin");
}

}  // namespace
}  // namespace brevalo
