#include "settings/untyped_value.h"

#include <gtest/gtest.h>

namespace brevalo {
namespace {

RegValue Text(std::u16string text) {
  RegValue value;
  value.type = REG_SZ;
  value.text = std::move(text);
  return value;
}

RegValue Dword(uint32_t number) {
  RegValue value;
  value.type = REG_DWORD;
  value.dword = number;
  return value;
}

RegValue Binary(std::vector<uint8_t> bytes) {
  RegValue value;
  value.type = REG_BINARY;
  value.bytes = std::move(bytes);
  return value;
}

TEST(UntypedValueTest, BytesOfEachType) {
  EXPECT_EQ(UntypedBytes(Text(u"A\u4E2D")), (std::vector<uint8_t>{0x41, 0, 0x2D, 0x4E, 0, 0}));
  EXPECT_EQ(UntypedBytes(Text(u"")), (std::vector<uint8_t>{0, 0}));
  EXPECT_EQ(UntypedBytes(Dword(0x01020304)), (std::vector<uint8_t>{4, 3, 2, 1}));
  EXPECT_EQ(UntypedBytes(Binary({9, 8, 7})), (std::vector<uint8_t>{9, 8, 7}));
}

TEST(UntypedValueTest, NumbersFromUpToFourBytes) {
  EXPECT_EQ(ReadUntypedDword(Dword(0xFFFFFFFF)), 0xFFFFFFFFu);
  EXPECT_EQ(ReadUntypedDword(Binary({0x34, 0x12})), 0x1234u);
  EXPECT_EQ(ReadUntypedDword(Text(u"")), 0u);  // the terminator alone
  EXPECT_EQ(ReadUntypedDword(Text(u"\u0102")), 0x0102u);
  EXPECT_FALSE(ReadUntypedDword(Text(u"ab")));
  EXPECT_FALSE(ReadUntypedDword(Binary({1, 2, 3, 4, 5})));
  EXPECT_FALSE(ReadUntypedDword(Binary({})));
}

TEST(UntypedValueTest, TextMustFitItsBufferWithTheTerminator) {
  EXPECT_EQ(ReadUntypedText(Text(std::u16string(5, u'x')), 5), std::u16string(5, u'x'));
  EXPECT_FALSE(ReadUntypedText(Text(std::u16string(6, u'x')), 5));
  // Six characters with no terminator fill the buffer; the field still ends after five.
  std::vector<uint8_t> unterminated;
  for (int i = 0; i < 6; ++i) unterminated.insert(unterminated.end(), {'y', 0});
  EXPECT_EQ(ReadUntypedText(Binary(unterminated), 5), u"yyyyy");
  unterminated.push_back('y');
  EXPECT_FALSE(ReadUntypedText(Binary(unterminated), 5));
}

TEST(UntypedValueTest, TextEndsAtItsFirstNulAndDropsAnOddByte) {
  EXPECT_EQ(ReadUntypedText(Text(std::u16string(u"ab\0cd", 5)), 10), u"ab");
  EXPECT_EQ(ReadUntypedText(Binary({'h', 0, 'i', 0, 'x'}), 10), u"hi");
  EXPECT_EQ(ReadUntypedText(Dword(0x00420041), 10), u"AB");
  EXPECT_EQ(ReadUntypedText(Binary({}), 10), u"");
}

}  // namespace
}  // namespace brevalo
