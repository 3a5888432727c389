#include "store/sender_field.h"

#include <gtest/gtest.h>

#include "store/store_format.h"

namespace brevalo {
namespace {

size_t FieldBytes(const CodePage& page, std::u16string_view text) { return page.FromUtf16(text).size(); }

TEST(SenderFieldTest, ALineThatFitsIsKeptWhole) {
  CodePage utf8;
  for (std::u16string_view sender : {u"5550102", u"\"Ann Lee\"<5550102>", u"", u"\"张三\"<13800138000>"}) {
    SenderField field = FitSenderToNumberField(utf8, sender);
    EXPECT_EQ(field.text, sender);
    EXPECT_TRUE(field.exact);
  }
}

// The number stays whole; the name gives up its end, never half a character.
TEST(SenderFieldTest, ALongNameIsShortenedAndTheNumberKept) {
  CodePage utf8;
  struct Case {
    std::u16string_view sender, expected;
  } cases[] = {
      {u"\"Dr. Annabelle Leonora Featherstonehaugh-Smith\"<+4930555019>",
       u"\"Dr. Annabelle Leonora Featherstoneha\"<+4930555019>"},
      {u"\"一二三四五六七八九十十一十二十三十四十五\"<13800138000>", u"\"一二三四五六七八九十十一\"<13800138000>"},
      {u"\"Team 💬💬💬💬💬💬💬💬💬💬💬💬💬💬💬\"<5550102>", u"\"Team 💬💬💬💬💬💬💬💬\"<5550102>"},
  };
  for (const Case& c : cases) {
    SenderField field = FitSenderToNumberField(utf8, c.sender);
    EXPECT_EQ(field.text, c.expected);
    EXPECT_TRUE(field.exact);
    EXPECT_LE(FieldBytes(utf8, field.text), kRecordNumberSize - 1);
  }
}

TEST(SenderFieldTest, WhatTheFieldCannotHoldExactlyIsSaid) {
  CodePage utf8;
  const std::u16string longNumber(60, u'7');
  for (const std::u16string& sender :
       std::vector<std::u16string>{longNumber, u"\"Ann\"<" + longNumber + u">", u"\"Ann Lee Ann Lee Ann Lee Ann Lee Ann Lee Ann Lee\"<5550102"}) {
    SenderField field = FitSenderToNumberField(utf8, sender);
    EXPECT_FALSE(field.exact) << ToUtf8(sender);
    EXPECT_LE(FieldBytes(utf8, field.text), kRecordNumberSize - 1);
  }
  std::optional<CodePage> western = CodePage::Open(1252);
  ASSERT_TRUE(western);
  EXPECT_TRUE(FitSenderToNumberField(*western, u"\"Zoë\"<5550102>").exact);
  EXPECT_FALSE(FitSenderToNumberField(*western, u"\"张三\"<13800138000>").exact);
  EXPECT_TRUE(CodePageHolds(*western, u"Grüße"));
  EXPECT_FALSE(CodePageHolds(*western, u"Grüße 💬"));
}

}  // namespace
}  // namespace brevalo
