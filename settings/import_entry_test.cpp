#include "settings/import_entry.h"

#include <gtest/gtest.h>

#include <string>

namespace brevalo {
namespace {

std::u16string Repeat(std::u16string_view piece, int times) {
  std::u16string out;
  for (int i = 0; i < times; ++i) out += piece;
  return out;
}

TEST(ImportTextLine, LatinAndChineseTextsAreCutByWidthWithTheMarkInPlaceOfTwoCharacters) {
  const std::u16string latin30 = Repeat(u"a", 30);
  EXPECT_EQ(ImportTextLine(latin30), latin30) << "30 units fit whole";
  EXPECT_EQ(ImportTextLine(latin30 + u"b"), Repeat(u"a", 28) + u"..");
  EXPECT_EQ(ImportTextLine(Repeat(u"你", 15)), Repeat(u"你", 15)) << "15 wide characters are 30 units";
  EXPECT_EQ(ImportTextLine(Repeat(u"你", 20)), Repeat(u"你", 13) + u"..");
  // 29 narrow units and a wide character: the wide one would make 31.
  EXPECT_EQ(ImportTextLine(Repeat(u"a", 29) + u"你"), Repeat(u"a", 27) + u"..");
  EXPECT_EQ(ImportTextLine(u""), u"");
}

TEST(ImportTextLine, CodesAbove128CountTwoAndPairsAreNeverSplit) {
  // U+0080 is not above 128 (one unit); U+0081 is (two units).
  EXPECT_EQ(ImportTextLine(Repeat(u"\u0080", 30)), Repeat(u"\u0080", 30));
  EXPECT_EQ(ImportTextLine(Repeat(u"\u0081", 16)), Repeat(u"\u0081", 13) + u"..");
  // A character beyond the 16-bit range is one character: its pair counts two, like any
  // other wide one, and is kept or cut whole.
  const std::u16string smile = u"\U0001F600";
  EXPECT_EQ(ImportTextLine(Repeat(smile, 15)), Repeat(smile, 15));
  EXPECT_EQ(ImportTextLine(Repeat(smile, 16)), Repeat(smile, 13) + u"..");
  EXPECT_EQ(ImportTextLine(Repeat(u"a", 28) + smile), Repeat(u"a", 28) + smile);
  EXPECT_EQ(ImportTextLine(Repeat(u"a", 28) + smile + u"b"), Repeat(u"a", 27) + u"..");
  for (char16_t unit : ImportTextLine(Repeat(u"a", 29) + smile)) {
    EXPECT_FALSE(unit >= 0xD800 && unit <= 0xDFFF) << "no half of a pair is left at the cut";
  }
}

TEST(ImportTextLine, LineBreaksAndTabsShowAsBlanks) {
  EXPECT_EQ(ImportTextLine(u"one\r\ntwo\tthree"), u"one  two three");
}

class ImportTimeTextTest : public ::testing::Test {
 protected:
  static DATE At(int year, int month, int day, int hour, int minute) {
    std::tm moment{};
    moment.tm_year = year - 1900;
    moment.tm_mon = month - 1;
    moment.tm_mday = day;
    moment.tm_hour = hour;
    moment.tm_min = minute;
    DATE date = 0;
    EXPECT_TRUE(TmToOleDate(moment, &date));
    return date;
  }
  ImportClock clock{SYSTEMTIME{2026, 12, 3, 9, 10, 0, 0, 0}, {u"M/d/yyyy", u"H:mm"}};  // Wednesday 9 December 2026
};

TEST_F(ImportTimeTextTest, TodayShowsTheTimeAndAnotherDayTheDate) {
  EXPECT_EQ(ImportTimeText(At(2026, 12, 9, 14, 5), clock), u"14:05");
  EXPECT_EQ(ImportTimeText(At(2026, 12, 8, 14, 5), clock), u"12/8/2026");
  EXPECT_EQ(ImportTimeText(At(2025, 12, 9, 14, 5), clock), u"12/9/2025") << "same day, other year";
  EXPECT_EQ(ImportTimeText(At(2026, 11, 9, 14, 5), clock), u"11/9/2026") << "same day, other month";
}

TEST_F(ImportTimeTextTest, AtMostTwentyCharacters) {
  clock.pictures.shortDate = u"dddd, MMMM d, yyyy";
  EXPECT_EQ(ImportTimeText(At(2026, 9, 30, 1, 0), clock), u"Wednesday, September");
  EXPECT_EQ(ImportTimeText(At(2026, 9, 30, 1, 0), clock).size(), kImportTimeCapacity);
}

TEST_F(ImportTimeTextTest, LinesOfAnEntry) {
  ImportEntry entry;
  entry.sender = u"+4930555";
  entry.text = Repeat(u"x", 40);
  entry.date = At(2026, 12, 9, 8, 0);
  entry.hasDate = true;
  SetImportLines(entry, clock);
  EXPECT_EQ(entry.lineOne, u"+4930555 8:00");
  EXPECT_EQ(entry.lineTwo, Repeat(u"x", 28) + u"..");
  entry.hasDate = false;
  SetImportLines(entry, clock);
  EXPECT_EQ(entry.lineOne, u"+4930555 ") << "a time that could not be read stays empty";
}

}  // namespace
}  // namespace brevalo
