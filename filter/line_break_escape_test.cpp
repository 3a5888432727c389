#include "filter/line_break_escape.h"

#include <gtest/gtest.h>

#include <string>

namespace brevalo {
namespace {

TEST(LineBreakEscapeTest, WritesEachLineBreakAsTwoBackticks) {
  EXPECT_EQ(EscapeLineBreaks(u"Busy now.\r\nCall later."), u"Busy now.``Call later.");
  EXPECT_EQ(UnescapeLineBreaks(u"Busy now.``Call later."), u"Busy now.\r\nCall later.");
  EXPECT_EQ(EscapeLineBreaks(u"no breaks"), u"no breaks");
}

TEST(LineBreakEscapeTest, TextsWithBackticksAndLoneLineEndsComeBackUnchanged) {
  const std::u16string texts[] = {
      u"`",         u"``",        u"a`b",        u"`\r\n`",     u"\r",          u"\n",
      u"\n\r",      u"\r\r\n",    u"x\ry\nz",    u"`b`s`r`n",   u"end with `", u"\r\n\r\n",
  };
  for (const std::u16string& text : texts) {
    const std::u16string escaped = EscapeLineBreaks(text);
    EXPECT_EQ(escaped.find_first_of(u"\r\n"), std::u16string::npos) << "escaped stays on one line";
    EXPECT_EQ(UnescapeLineBreaks(escaped), text);
  }
}

TEST(LineBreakEscapeTest, ABacktickFromAnEarlierFileReadsAsALineBreak) {
  // Earlier releases turned a backtick and whatever followed it into CR LF.
  EXPECT_EQ(UnescapeLineBreaks(u"a`xb"), u"a\r\nb");
  EXPECT_EQ(UnescapeLineBreaks(u"trailing`"), u"trailing\r\n");
}

TEST(LineBreakEscapeTest, FindsOnlyASeparatorThatStartsACode) {
  EXPECT_EQ(FindEscapedFieldSeparator(u"Ann`sbob"), 3u);
  // "``" is one code, so the "`s" after it starts at 2; "``s" has no separator at all.
  EXPECT_EQ(FindEscapedFieldSeparator(u"```s1"), 2u);
  EXPECT_EQ(FindEscapedFieldSeparator(u"``s1"), std::u16string_view::npos);
  EXPECT_EQ(FindEscapedFieldSeparator(u"a`bs"), std::u16string_view::npos);
  EXPECT_EQ(FindEscapedFieldSeparator(u"a`"), std::u16string_view::npos);
  const std::u16string name = u"x`s`y", number = u"s`1";
  const std::u16string line = EscapeLineBreaks(name) + u"`s" + EscapeLineBreaks(number);
  const size_t at = FindEscapedFieldSeparator(line);
  ASSERT_NE(at, std::u16string_view::npos);
  EXPECT_EQ(UnescapeLineBreaks(std::u16string_view(line).substr(0, at)), name);
  EXPECT_EQ(UnescapeLineBreaks(std::u16string_view(line).substr(at + 2)), number);
}

}  // namespace
}  // namespace brevalo
