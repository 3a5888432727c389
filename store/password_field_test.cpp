#include "store/password_field.h"

#include <gtest/gtest.h>

namespace brevalo {
namespace {

TEST(PasswordFieldTest, TheFirstTenTypedCharactersCountWhenSetAndWhenGivenAgain) {
  const std::u16string typed = u"abcdefghijk";  // the box takes 11
  const std::u16string stored = TakenPassword(typed);
  EXPECT_EQ(stored, u"abcdefghij");
  EXPECT_TRUE(PasswordMatches(typed, stored)) << "the same 11 characters open it later";
  EXPECT_TRUE(PasswordMatches(u"abcdefghij", stored));
  EXPECT_FALSE(PasswordMatches(u"abcdefghi", stored));
  EXPECT_FALSE(PasswordMatches(u"ABCDEFGHIJ", stored)) << "case counts";
  EXPECT_FALSE(PasswordMatches(u"", stored));
  // A document written elsewhere may keep all 11 characters of its field.
  EXPECT_TRUE(PasswordMatches(u"abcdefghijk", u"abcdefghijk"));
  EXPECT_FALSE(PasswordMatches(u"abcdefghijX", u"abcdefghijk"));
}

TEST(PasswordFieldTest, TheCountedPartNeverEndsInsideACharacter) {
  // Nine letters and a character outside the basic plane: its first half would be the tenth unit.
  const std::u16string typed = u"abcdefghi\U0001F600";
  EXPECT_EQ(TakenPassword(typed), u"abcdefghi");
  EXPECT_EQ(TakenPassword(u"abcdefgh\U0001F600"), u"abcdefgh\U0001F600");
}

TEST(PasswordFieldTest, APasswordFitsOnlyWhenItsFieldGivesItBackExactly) {
  CodePage utf8;
  EXPECT_TRUE(FitsPasswordField(utf8, u""));
  EXPECT_TRUE(FitsPasswordField(utf8, u"abcdefghijk"));  // 11 bytes and the terminator
  EXPECT_FALSE(FitsPasswordField(utf8, u"abcdefghijkl"));
  EXPECT_TRUE(FitsPasswordField(utf8, u"\u4F60\u597D\u4E16"));  // 9 bytes
  EXPECT_FALSE(FitsPasswordField(utf8, u"\u4F60\u597D\u4E16\u754C")) << "12 bytes: would be cut";
  EXPECT_FALSE(FitsPasswordField(utf8, std::u16string(u"ab\0c", 4))) << "would end at the NUL";

  std::optional<CodePage> western = CodePage::Open(1252);
  ASSERT_TRUE(western);
  EXPECT_TRUE(FitsPasswordField(*western, u"p\u00E4ss"));
  // Stored as "??", it could never be typed again, and "??" would open it.
  EXPECT_FALSE(FitsPasswordField(*western, u"\u4F60\u597D"));
}

}  // namespace
}  // namespace brevalo
