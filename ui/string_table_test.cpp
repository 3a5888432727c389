#include "ui/string_table.h"

#include <gtest/gtest.h>

namespace brevalo {
namespace {

class StringTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    table_.Add(1, u"Text files|*.txt|All files|*.*|");
    table_.Add(2, u"Plain");
    table_.Add(3, u"A||B");
  }
  StringTable table_;
};

TEST_F(StringTableTest, EveryBarOfALoadedStringBecomesATerminator) {
  std::u16string loaded = table_.Load(1);
  EXPECT_EQ(loaded, std::u16string(u"Text files\0*.txt\0All files\0*.*\0", 31));
  EXPECT_EQ(table_.Raw(1), u"Text files|*.txt|All files|*.*|");  // the table keeps the bars
  EXPECT_EQ(table_.Text(1), u"Text files");
  EXPECT_EQ(table_.Parts(1), (std::vector<std::u16string>{u"Text files", u"*.txt", u"All files", u"*.*"}));
}

TEST_F(StringTableTest, ADoubleTerminatorEndsTheParts) {
  EXPECT_EQ(table_.Parts(3), std::vector<std::u16string>{u"A"});
  EXPECT_EQ(table_.Parts(2), std::vector<std::u16string>{u"Plain"});
}

TEST_F(StringTableTest, UnknownIdentifiersLoadEmpty) {
  EXPECT_FALSE(table_.Has(99));
  EXPECT_EQ(table_.Load(99), u"");
  EXPECT_EQ(table_.Text(99), u"");
  EXPECT_TRUE(table_.Parts(99).empty());
}

TEST_F(StringTableTest, ALoadHoldsAtMostOneCharacterLessThanItsBuffer) {
  table_.Add(4, std::u16string(600, u'x'));
  EXPECT_EQ(table_.Load(4).size(), kStringBufferChars - 1);
  EXPECT_EQ(table_.Load(2, 4), u"Pla");
  EXPECT_EQ(table_.Load(2, 1), u"");
  EXPECT_EQ(table_.Load(2, 0), u"");
  EXPECT_EQ(table_.Load(2, 6), u"Plain");
}

TEST_F(StringTableTest, ACutNeverLeavesHalfACharacter) {
  table_.Add(5, u"ab\U0001F600c");  // the emoji is two UTF-16 units
  EXPECT_EQ(table_.Load(5, 4), u"ab");
  EXPECT_EQ(table_.Load(5, 5), u"ab\U0001F600");
}

TEST(ProgramStringTableTest, HoldsTheCaptionsCommandNamesAndSentences) {
  const StringTable& program = StringTable::Program();
  EXPECT_EQ(program.Text(IDS_CAPTION_ERROR), u"Error");
  EXPECT_EQ(program.Text(IDS_CAPTION_ALERT), u"Alert");
  EXPECT_EQ(program.Text(IDS_OK), u"OK");
  EXPECT_EQ(program.Text(IDS_CANCEL), u"Cancel");
  EXPECT_EQ(program.Text(40069), u"Save");
  EXPECT_EQ(program.Text(40068), u"Node Password");
  EXPECT_EQ(program.Text(40403), u"Yes.");
  EXPECT_EQ(program.Text(40417), u"Sorry, I am busy now.");
  EXPECT_FALSE(program.Has(40404));
}

}  // namespace
}  // namespace brevalo
