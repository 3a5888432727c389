#include "ui/popup_menu.h"

#include <gtest/gtest.h>

namespace brevalo {
namespace {

// Records each preparation and may change the menu as a window's init-menu-popup step does.
class RecordingPreparer : public MenuPreparer {
 public:
  void PrepareMenu(PopupMenu& menu, int position) override {
    prepared.emplace_back(menu.Title(), position);
    if (disableOnPrepare) menu.Enable(disableOnPrepare, false);
  }
  std::vector<std::pair<std::u16string, int>> prepared;
  int disableOnPrepare = 0;
};

class PopupMenuTest : public ::testing::Test {
 protected:
  PopupMenuTest() : menu_(u"Menu") {
    menu_.AddItem(10, u"Open").AddSeparator().AddItem(11, u"Save");
    PopupMenu& sort = menu_.AddSubmenu(u"Sort");
    sort.AddItem(20, u"By date").AddItem(21, u"By name").AddSeparator().AddItem(22, u"Reverse");
    menu_.AddItem(12, u"Exit");
  }
  static int Selected(const MenuNavigator& nav) {
    const MenuItem* item = nav.SelectedItem();
    return item ? item->id : -1;
  }
  PopupMenu menu_;
  RecordingPreparer preparer_;
};

TEST_F(PopupMenuTest, UpAndDownSkipSeparatorsAndWrap) {
  MenuNavigator nav(menu_, &preparer_);
  EXPECT_EQ(Selected(nav), 10);
  nav.Press(PhoneKey::Down);
  EXPECT_EQ(Selected(nav), 11);
  nav.Press(PhoneKey::Down);
  EXPECT_EQ(nav.SelectedItem()->text, u"Sort");
  nav.Press(PhoneKey::Down);
  nav.Press(PhoneKey::Down);
  EXPECT_EQ(Selected(nav), 10);
  nav.Press(PhoneKey::Up);
  EXPECT_EQ(Selected(nav), 12);
}

TEST_F(PopupMenuTest, TheOwnerPreparesEachLevelRightBeforeItShows) {
  MenuNavigator nav(menu_, &preparer_);
  ASSERT_EQ(preparer_.prepared.size(), 1u);
  EXPECT_EQ(preparer_.prepared[0], std::make_pair(std::u16string(u"Menu"), 0));
  nav.Press(PhoneKey::Down);
  nav.Press(PhoneKey::Down);
  nav.Press(PhoneKey::Right);
  ASSERT_EQ(nav.Levels().size(), 2u);
  ASSERT_EQ(preparer_.prepared.size(), 2u);
  EXPECT_EQ(preparer_.prepared[1], std::make_pair(std::u16string(u"Sort"), 3));  // its position
}

TEST_F(PopupMenuTest, ActionChoosesEnabledCommandsOnly) {
  preparer_.disableOnPrepare = 11;
  MenuNavigator nav(menu_, &preparer_);
  nav.Press(PhoneKey::Down);
  EXPECT_EQ(nav.Press(PhoneKey::Action).outcome, MenuNavigator::Outcome::Stay);
  nav.Press(PhoneKey::Up);
  MenuNavigator::Result chosen = nav.Press(PhoneKey::Action);
  EXPECT_EQ(chosen.outcome, MenuNavigator::Outcome::Chosen);
  EXPECT_EQ(chosen.command, 10);
}

TEST_F(PopupMenuTest, BackAndLeftCloseASubmenuThenBackClosesTheMenu) {
  MenuNavigator nav(menu_, &preparer_);
  nav.Press(PhoneKey::Digit3);  // the third selectable item is the submenu: it opens
  ASSERT_EQ(nav.Levels().size(), 2u);
  nav.Press(PhoneKey::Left);
  EXPECT_EQ(nav.Levels().size(), 1u);
  EXPECT_EQ(nav.Press(PhoneKey::Left).outcome, MenuNavigator::Outcome::Stay);
  nav.Press(PhoneKey::Action);
  ASSERT_EQ(nav.Levels().size(), 2u);
  EXPECT_EQ(nav.Press(PhoneKey::Back).outcome, MenuNavigator::Outcome::Stay);
  EXPECT_EQ(nav.Press(PhoneKey::Back).outcome, MenuNavigator::Outcome::Closed);
}

TEST_F(PopupMenuTest, NumberKeysActOnTheNthItemOfTheOpenLevel) {
  MenuNavigator nav(menu_, nullptr);
  nav.Press(PhoneKey::Digit3);
  MenuNavigator::Result chosen = nav.Press(PhoneKey::Digit3);  // separators are not counted
  EXPECT_EQ(chosen.outcome, MenuNavigator::Outcome::Chosen);
  EXPECT_EQ(chosen.command, 22);
  MenuNavigator other(menu_, nullptr);
  EXPECT_EQ(other.Press(PhoneKey::Digit9).outcome, MenuNavigator::Outcome::Stay);
  EXPECT_EQ(other.Press(PhoneKey::Digit0).outcome, MenuNavigator::Outcome::Stay);
  EXPECT_EQ(other.Press(PhoneKey::Digit4).command, 12);
}

TEST_F(PopupMenuTest, ASubmenuItemThatIsGrayDoesNotOpen) {
  menu_.Items()[3].enabled = false;
  MenuNavigator nav(menu_, &preparer_);
  nav.Press(PhoneKey::Digit3);
  nav.Press(PhoneKey::Right);
  EXPECT_EQ(nav.Levels().size(), 1u);
  EXPECT_EQ(preparer_.prepared.size(), 1u);
}

TEST_F(PopupMenuTest, RadioMarksClearTheOtherItemsOfTheRangeInTheirPopupOnly) {
  menu_.Check(12, true);
  EXPECT_TRUE(menu_.CheckRadio(20, 22, 21));
  const PopupMenu& sort = *menu_.FindSubmenu(u"Sort");
  EXPECT_FALSE(sort.Items()[0].checked);
  EXPECT_TRUE(sort.Items()[1].checked && sort.Items()[1].radio);
  EXPECT_TRUE(menu_.CheckRadio(20, 22, 20));
  EXPECT_TRUE(sort.Items()[0].checked);
  EXPECT_FALSE(sort.Items()[1].checked);
  EXPECT_TRUE(menu_.Find(12)->checked);  // outside the submenu, untouched
  EXPECT_FALSE(menu_.CheckRadio(20, 22, 23));
  EXPECT_FALSE(menu_.CheckRadio(10, 12, 11 + 100));
  EXPECT_FALSE(menu_.CheckRadio(10, 20, 15));  // no such item
}

TEST_F(PopupMenuTest, CheckEnableAndTextReachSubmenusAndRefuseUnknownCommands) {
  EXPECT_TRUE(menu_.Check(22, true));
  EXPECT_TRUE(menu_.Find(22)->checked);
  EXPECT_FALSE(menu_.Find(22)->radio);
  EXPECT_TRUE(menu_.Enable(21, false));
  EXPECT_FALSE(menu_.Find(21)->enabled);
  EXPECT_TRUE(menu_.SetText(10, u"Open..."));
  EXPECT_EQ(menu_.Find(10)->text, u"Open...");
  EXPECT_FALSE(menu_.Enable(99, false));
  EXPECT_FALSE(menu_.Check(0, true));  // separators carry id 0 and are no command
  EXPECT_EQ(menu_.FindSubmenu(u"Nothing"), nullptr);
}

TEST(PopupMenuEdgeTest, AMenuOfSeparatorsOrNothingSelectsNothing) {
  PopupMenu empty;
  MenuNavigator none(empty, nullptr);
  EXPECT_EQ(none.SelectedItem(), nullptr);
  EXPECT_EQ(none.Press(PhoneKey::Down).outcome, MenuNavigator::Outcome::Stay);
  EXPECT_EQ(none.Press(PhoneKey::Action).outcome, MenuNavigator::Outcome::Stay);
  PopupMenu lines;
  lines.AddSeparator().AddSeparator();
  MenuNavigator nav(lines, nullptr);
  EXPECT_EQ(nav.SelectedItem(), nullptr);
  EXPECT_EQ(nav.Press(PhoneKey::Digit1).outcome, MenuNavigator::Outcome::Stay);
  EXPECT_EQ(nav.Press(PhoneKey::Back).outcome, MenuNavigator::Outcome::Closed);
}

}  // namespace
}  // namespace brevalo
