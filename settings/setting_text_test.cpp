#include "settings/setting_text.h"

#include <gtest/gtest.h>

namespace brevalo {
namespace {

TEST(SettingTextTest, KeepsWhatFitsAndCutsTheRest) {
  SettingText text(4);
  text = u"abc";
  EXPECT_EQ(text.Text(), u"abc");
  text = u"abcdefg";
  EXPECT_EQ(text.Text(), u"abcd");
  text = u"";
  EXPECT_TRUE(text.empty());
}

TEST(SettingTextTest, CutNeverSplitsASurrogatePair) {
  SettingText text(4);
  text = u"abc\U0001F600";  // the pair would be the 4th and 5th units
  EXPECT_EQ(text.Text(), u"abc");
  text = u"ab\U0001F600z";
  EXPECT_EQ(text.Text(), u"ab\U0001F600");
}

}  // namespace
}  // namespace brevalo
