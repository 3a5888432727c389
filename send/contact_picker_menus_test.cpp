// The picker's soft keys and its Category submenu.
#include <gtest/gtest.h>

#include "send/contact_picker_menus.h"
#include "ui/list_paging.h"

namespace brevalo {
namespace {

std::vector<std::u16string> Texts(const PopupMenu& menu) {
  std::vector<std::u16string> texts;
  for (const MenuItem& item : menu.Items()) texts.push_back(item.separator ? u"-" : item.text);
  return texts;
}

TEST(PickerMenus, OneChoiceAndCheckBoxModesHaveTheirOwnMenus) {
  SoftKeyMenuBar single = PickerMenuBar(PickerMode::kSingle);
  EXPECT_EQ(single.left.label, u"OK");
  EXPECT_EQ(Texts(*single.right.popup),
            (std::vector<std::u16string>{u"Refresh", u"Category", u"Cancel"}));

  SoftKeyMenuBar groups = PickerMenuBar(PickerMode::kWithGroups);
  EXPECT_EQ(groups.left.label, u"Add");
  EXPECT_EQ(groups.left.command, ID_PICKER_ADD);
  EXPECT_EQ(Texts(*groups.right.popup),
            (std::vector<std::u16string>{u"Refresh", u"Category", u"Check All", u"Uncheck All", u"-",
                                         u"Add to Group...", u"Edit Group...", u"Delete Group", u"-",
                                         u"Cancel"}));
  // Without groups, the three entries after "Uncheck All" go.
  EXPECT_EQ(Texts(*PickerMenuBar(PickerMode::kMultiple).right.popup),
            (std::vector<std::u16string>{u"Refresh", u"Category", u"Check All", u"Uncheck All",
                                         u"Delete Group", u"-", u"Cancel"}));
}

TEST(PickerMenus, TheCategorySubmenuIsRebuiltWithAllMarkedAndMarksTheChosenOne) {
  SoftKeyMenuBar bar = PickerMenuBar(PickerMode::kSingle);
  PopupMenu& menu = *bar.right.popup;
  RebuildCategoryMenu(menu, {u"Old", u"Older"});
  MarkCategory(menu, 1);
  RebuildCategoryMenu(menu, {u"Work", u"Family"});
  PopupMenu* submenu = menu.FindSubmenu(u"Category");
  ASSERT_NE(submenu, nullptr);
  EXPECT_EQ(Texts(*submenu), (std::vector<std::u16string>{u"All", u"Work", u"Family"}));
  EXPECT_EQ(submenu->Items()[2].id, 40375);
  EXPECT_TRUE(submenu->Items()[0].checked && submenu->Items()[0].radio);
  EXPECT_FALSE(submenu->Items()[2].checked);
  MarkCategory(menu, 1);
  EXPECT_FALSE(submenu->Items()[0].checked);
  EXPECT_TRUE(submenu->Items()[2].checked && submenu->Items()[2].radio);
}

TEST(PickerMenus, NoCategoryEverTakesTheCommandOfAnotherEntry) {
  std::vector<std::u16string> many;
  for (int i = 0; i < 60; ++i) many.push_back(u"c" + std::u16string(1, static_cast<char16_t>(u'A' + i)));
  SoftKeyMenuBar bar = PickerMenuBar(PickerMode::kWithGroups);
  RebuildCategoryMenu(*bar.right.popup, many);
  for (size_t i = 0; i < many.size(); ++i) {
    int command = CategoryCommand(i);
    EXPECT_NE(command, ID_PICKER_ADD_TO_GROUP);
    EXPECT_NE(command, ID_PICKER_EDIT_GROUP);
    EXPECT_NE(command, ID_PICKER_DELETE_GROUP);
    EXPECT_EQ(bar.right.popup->Find(command)->text, many[i]);
    bool isCategory = false;
    EXPECT_EQ(CategoryOfCommand(command, many.size(), &isCategory), i);
    EXPECT_TRUE(isCategory);
  }
  bool isCategory = true;
  EXPECT_EQ(CategoryOfCommand(ID_PICKER_ADD_TO_GROUP, many.size(), &isCategory), std::nullopt);
  EXPECT_FALSE(isCategory);
  EXPECT_EQ(CategoryOfCommand(ID_PICKER_CATEGORY_ALL, many.size(), &isCategory), std::nullopt);
  EXPECT_TRUE(isCategory);
  EXPECT_EQ(CategoryOfCommand(CategoryCommand(3), 3, &isCategory), std::nullopt);
  EXPECT_FALSE(isCategory);
}

TEST(ListPaging, LeftGoesToTheTopOfTheViewThenAPageUpRightToTheRowBelowThePage) {
  EXPECT_EQ(PageUpRow(12, 10, 5), 10);  // selection inside the view: its top row
  EXPECT_EQ(PageUpRow(10, 10, 5), 5);   // already there: one page up
  EXPECT_EQ(PageUpRow(3, 3, 5), 0);     // never above the first row
  EXPECT_EQ(PageDownRow(10, 5, 40), 15);
  EXPECT_EQ(PageDownRow(38, 5, 40), 39);  // never below the last row
  EXPECT_EQ(PageDownRow(0, 5, 0), 0);
}

}  // namespace
}  // namespace brevalo
