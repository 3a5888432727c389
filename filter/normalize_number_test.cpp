#include "filter/normalize_number.h"

#include <gtest/gtest.h>

#include <string>

namespace brevalo {
namespace {

std::u16string Normalized(std::u16string_view entry) {
  char16_t out[NormalizedNumberSize];
  const size_t length = NormalizeNumber(entry, out);
  EXPECT_EQ(out[length], u'\0');
  return std::u16string(out, length);
}

TEST(NormalizeNumberTest, KeepsOnlyTheNumberOfAnEntry) {
  EXPECT_EQ(Normalized(u"\"Ann\" <+86 1-234>"), u"+861234");
  EXPECT_EQ(Normalized(u"(010) 555-12 34"), u"0105551234");
  // Quotes of an entry without "<" stay; only the listed characters go.
  EXPECT_EQ(Normalized(u"\"Bob\" 123"), u"\"Bob\"123");
  EXPECT_EQ(Normalized(u"a<b<c>d"), u"cd");
  EXPECT_EQ(Normalized(u""), u"");
  EXPECT_EQ(Normalized(u"Ann <"), u"");
}

TEST(NormalizeNumberTest, StopsAtTheBufferButStillStartsOverAtALaterBracket) {
  const std::u16string longName(400, u'x');
  EXPECT_EQ(Normalized(longName), std::u16string(NormalizedNumberSize - 1, u'x'));
  EXPECT_EQ(Normalized(longName + u"<1234>"), u"1234");

  char16_t small[4];
  EXPECT_EQ(NormalizeNumber(u"12345", small, 4), 3u);
  EXPECT_EQ(std::u16string(small), u"123");
}

TEST(NormalizeNumberTest, WorksInPlace) {
  char16_t buffer[NormalizedNumberSize] = u"Ann <+1 (555) 0100>";
  const size_t length = NormalizeNumber(std::u16string_view(buffer), buffer);
  EXPECT_EQ(std::u16string(buffer, length), u"+15550100");

  char16_t plain[NormalizedNumberSize] = u"+1 555-0100";
  const size_t plainLength = NormalizeNumber(std::u16string_view(plain), plain);
  EXPECT_EQ(std::u16string(plain, plainLength), u"+15550100");
}

}  // namespace
}  // namespace brevalo
