#include "ui/input_mode.h"

#include <gtest/gtest.h>

namespace brevalo {
namespace {

// Presses keys at the given times and applies the edits to a text, as an edit control does.
class MultiTapTest : public ::testing::Test {
 protected:
  void Press(PhoneKey key, InputMode mode, int64_t atMs) {
    std::optional<MultiTap::Edit> edit = tap_.Press(key, mode, atMs);
    if (!edit) return;
    if (edit->replacesPrevious) {
      ASSERT_FALSE(text_.empty());
      text_.back() = edit->character;
    } else {
      text_ += edit->character;
    }
  }
  MultiTap tap_;
  std::u16string text_;
};

TEST_F(MultiTapTest, PressesOfOneKeyStepThroughItsLettersAndDigit) {
  Press(PhoneKey::Digit2, InputMode::Letters, 0);
  EXPECT_EQ(text_, u"a");
  Press(PhoneKey::Digit2, InputMode::Letters, 300);
  EXPECT_EQ(text_, u"b");
  Press(PhoneKey::Digit2, InputMode::Letters, 600);
  Press(PhoneKey::Digit2, InputMode::Letters, 900);
  EXPECT_EQ(text_, u"2");
  Press(PhoneKey::Digit2, InputMode::Letters, 1200);
  EXPECT_EQ(text_, u"a");  // round again
}

TEST_F(MultiTapTest, APauseOrAnotherKeyStartsANewLetter) {
  Press(PhoneKey::Digit4, InputMode::Letters, 0);
  Press(PhoneKey::Digit4, InputMode::Letters, 999);
  Press(PhoneKey::Digit4, InputMode::Letters, 999 + kMultiTapTimeoutMs);
  EXPECT_EQ(text_, u"hg");
  Press(PhoneKey::Digit3, InputMode::Letters, 2100);
  Press(PhoneKey::Digit3, InputMode::Letters, 2200);
  Press(PhoneKey::Digit3, InputMode::Letters, 2300);
  EXPECT_EQ(text_, u"hgf");
  Press(PhoneKey::Digit7, InputMode::Letters, 2400);
  Press(PhoneKey::Digit0, InputMode::Letters, 2500);
  EXPECT_EQ(text_, u"hgfp ");
}

TEST_F(MultiTapTest, CommittingOrAKeyThatTypesNothingEndsTheLetter) {
  Press(PhoneKey::Digit5, InputMode::Letters, 0);
  tap_.Commit();
  Press(PhoneKey::Digit5, InputMode::Letters, 100);
  EXPECT_EQ(text_, u"jj");
  EXPECT_FALSE(tap_.Press(PhoneKey::Up, InputMode::Letters, 200).has_value());
  Press(PhoneKey::Digit5, InputMode::Letters, 300);
  EXPECT_EQ(text_, u"jjj");
  EXPECT_FALSE(tap_.Press(PhoneKey::Hash, InputMode::Letters, 400).has_value());
}

TEST_F(MultiTapTest, CapitalsAndNumbersModes) {
  Press(PhoneKey::Digit9, InputMode::Capitals, 0);
  Press(PhoneKey::Digit9, InputMode::Capitals, 100);
  Press(PhoneKey::Digit1, InputMode::Capitals, 200);
  EXPECT_EQ(text_, u"X.");
  Press(PhoneKey::Digit9, InputMode::Numbers, 300);
  Press(PhoneKey::Digit9, InputMode::Numbers, 350);
  Press(PhoneKey::Digit0, InputMode::Numbers, 400);
  EXPECT_EQ(text_, u"X.990");  // digits never replace each other
  Press(PhoneKey::Star, InputMode::Numbers, 500);
  Press(PhoneKey::Star, InputMode::Numbers, 600);
  EXPECT_EQ(text_, u"X.990+");  // a dialling prefix
}

TEST(InputModeTest, HashStepsThroughTheThreeModesWithTheirLabels) {
  InputMode mode = InputMode::Letters;
  EXPECT_EQ(InputModeLabel(mode), u"abc");
  mode = NextInputMode(mode);
  EXPECT_EQ(InputModeLabel(mode), u"ABC");
  mode = NextInputMode(mode);
  EXPECT_EQ(InputModeLabel(mode), u"123");
  EXPECT_EQ(NextInputMode(mode), InputMode::Letters);
  EXPECT_EQ(MultiTapLetters(PhoneKey::Digit7), u"pqrs7");
  EXPECT_EQ(MultiTapLetters(PhoneKey::Soft1), u"");
}

}  // namespace
}  // namespace brevalo
