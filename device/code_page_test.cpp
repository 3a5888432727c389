#include "device/code_page.h"

#include <gtest/gtest.h>

namespace brevalo {
namespace {

std::string Bytes(std::initializer_list<unsigned char> list) {
  return std::string(list.begin(), list.end());
}

TEST(CodePageTest, Utf8IsTheDefaultAndKeepsEveryCharacter) {
  CodePage page;
  EXPECT_EQ(page.Number(), 65001u);
  std::u16string text = u"Grüße 中文 \U0001F600";
  EXPECT_EQ(page.ToUtf16(page.FromUtf16(text)), text);
  EXPECT_EQ(page.FromUtf16(u"é"), Bytes({0xC3, 0xA9}));
}

TEST(CodePageTest, SingleAndDoubleByteCodePages) {
  std::optional<CodePage> western = CodePage::Open(1252);
  std::optional<CodePage> chinese = CodePage::Open(936);
  ASSERT_TRUE(western && chinese);
  EXPECT_EQ(western->FromUtf16(u"Café €5"), Bytes({'C', 'a', 'f', 0xE9, ' ', 0x80, '5'}));
  EXPECT_EQ(western->ToUtf16(Bytes({0xE9, 0x80})), u"é€");
  EXPECT_EQ(chinese->FromUtf16(u"中文"), Bytes({0xD6, 0xD0, 0xCE, 0xC4}));
  EXPECT_EQ(chinese->ToUtf16(Bytes({0xD6, 0xD0, 'a'})), u"中a");
}

TEST(CodePageTest, WhatThePageCannotHoldBecomesQuestionMarks) {
  std::optional<CodePage> western = CodePage::Open(1252);
  ASSERT_TRUE(western);
  EXPECT_EQ(western->FromUtf16(u"a中b\U0001F600c"), "a?b?c");
  // An unpaired surrogate is not a character in any page.
  EXPECT_EQ(CodePage().FromUtf16(std::u16string(u"x") + char16_t(0xD800) + u"y"), "x?y");
}

TEST(CodePageTest, InvalidBytesBecomeReplacementsAndReadingGoesOn) {
  std::optional<CodePage> chinese = CodePage::Open(936);
  ASSERT_TRUE(chinese);
  // A lead byte with nothing after it, as when a field was cut by an older writer.
  EXPECT_EQ(chinese->ToUtf16(Bytes({'a', 0xD6})), u"a\uFFFD");
  EXPECT_EQ(CodePage().ToUtf16(Bytes({'a', 0xE4, 0xB8, 'b', 0xFF})), u"a\uFFFD\uFFFDb\uFFFD");
}

TEST(CodePageTest, UnknownNumbersDoNotOpen) {
  EXPECT_FALSE(CodePage::Open(4242424));
  EXPECT_EQ(CodePage::Open(65001)->Number(), 65001u);
}

TEST(CodePageTest, FixedFieldsCutAtACharacterBoundary) {
  struct Case {
    uint32_t page;
    std::u16string text;
    size_t capacity;
    std::string expected;
  };
  const Case cases[] = {
      {65001, u"aé中", 5, Bytes({'a', 0xC3, 0xA9})},  // 中 needs 3 more, 1 left
      {65001, u"aé中", 7, Bytes({'a', 0xC3, 0xA9, 0xE4, 0xB8, 0xAD})},
      {65001, u"\U0001F600", 4, ""},                 // 4 bytes never fit in 3
      {936, u"中文", 4, Bytes({0xD6, 0xD0})},
      {936, u"a中文", 4, Bytes({'a', 0xD6, 0xD0})},
      {1252, u"abcdef", 4, "abc"},
      {1252, u"", 1, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.page);
    std::optional<CodePage> page = CodePage::Open(c.page);
    ASSERT_TRUE(page);
    std::string field(c.capacity + 2, '#');  // two guard bytes past the field
    size_t written = page->ToFixedField(c.text, field.data(), c.capacity);
    EXPECT_EQ(written, c.expected.size());
    EXPECT_EQ(field.substr(0, written), c.expected);
    EXPECT_EQ(field.substr(written, c.capacity - written), std::string(c.capacity - written, '\0'));
    EXPECT_EQ(field.substr(c.capacity), "##");
    EXPECT_EQ(page->FromFixedField(field.data(), c.capacity), page->ToUtf16(c.expected));
  }
}

TEST(CodePageTest, FixedFieldWithoutNulIsReadToItsEnd) {
  const char field[4] = {'a', 'b', 'c', 'd'};
  EXPECT_EQ(CodePage().FromFixedField(field, 4), u"abcd");
  EXPECT_EQ(CodePage().FromFixedField(field, 2), u"ab");
}

TEST(Utf8Test, HostTextRoundTripsAndReplacesDamage) {
  EXPECT_EQ(FromUtf8(ToUtf8(u"\\My Documents\\短信.kvt")), u"\\My Documents\\短信.kvt");
  EXPECT_EQ(FromUtf8("\xC0\xAF"), u"\uFFFD\uFFFD");  // overlong "/" is not a slash
  EXPECT_EQ(FromUtf8("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");  // encoded surrogate
  EXPECT_EQ(ToUtf8(std::u16string(1, char16_t(0xDC00))), "\xEF\xBF\xBD");
}

}  // namespace
}  // namespace brevalo
