// The skin .cfg reader: the section, comments, exact keys, first occurrence, blanks, and the
// integer, rectangle and colour forms with what each rejects.
#include "alert/skin_config.h"

#include <gtest/gtest.h>

#include <string>

namespace brevalo {
namespace {

std::string Cfg(const std::string& body) { return "[DudadOruv Skin SP]\r\n" + body; }

TEST(SkinConfigTest, ReadsEveryKeyInAnyOrderWithTheFirstOccurrenceCounting) {
  SkinConfig config(Cfg(
      "DesColor=1,2,3\r\n"
      "; DialogLeft=99\r\n"
      "DialogLeft=20\r\n"
      "DialogLeft=30\r\n"
      "NumTextRect=1,2,3,4\r\n"
      "TransparentColor=255,0,255\r\n"
      "ShowPhoto=1\r\n"
      "FontSize=\r\n"));
  SkinValues v = config.Values();
  EXPECT_EQ(v.left, 20);
  EXPECT_EQ(v.textColor, MakeSkinColor(1, 2, 3));
  EXPECT_EQ(v.numberRect, (SkinRect{1, 2, 3, 4}));
  EXPECT_EQ(v.transparentColor, MakeSkinColor(255, 0, 255));
  EXPECT_EQ(v.showPhoto, 1);
  EXPECT_EQ(v.fontSize, 0);  // an empty integer is 0
  EXPECT_EQ(v.top, 59);      // missing keys keep the defaults
  EXPECT_EQ(v.photoRect, (SkinRect{8, 24, 68, 84}));
}

TEST(SkinConfigTest, KeysAreExactAndValuesLoseOnlyTrailingBlanks) {
  SkinConfig config(Cfg("FontSize =12\nDialogTop=10   \t\ndialogleft=5\nDialogWidth= 7\n"));
  EXPECT_FALSE(config.Find("FontSize").has_value());  // the key is "FontSize "
  EXPECT_EQ(config.Find("FontSize "), "12");
  EXPECT_EQ(config.Find("DialogTop"), "10");
  SkinValues v = config.Values();
  EXPECT_EQ(v.fontSize, 9);
  EXPECT_EQ(v.top, 10);
  EXPECT_EQ(v.left, 12);    // keys are case-sensitive
  EXPECT_EQ(v.width, 150);  // a leading blank is not a digit
}

TEST(SkinConfigTest, OnlyTheFirstSectionOfItsNameIsSearchedUpToTheNextSection) {
  SkinConfig config(
      "DialogLeft=1\n[dudadoruv skin sp]\nDialogTop=2\n[DudadOruv Skin SP] trailing\nDialogWidth=3\n"
      "[Next]\nDialogHeight=4\n[DudadOruv Skin SP]\nDialogHeight=5\nNoEquals\n");
  SkinValues v = config.Values();
  EXPECT_EQ(v.width, 3);
  EXPECT_EQ(v.left, 12);
  EXPECT_EQ(v.top, 59);
  EXPECT_EQ(v.height, 95);
}

TEST(SkinConfigTest, WithoutTheSectionEveryKeyTakesItsDefault) {
  SkinConfig config("DialogLeft=1\nTransparentColor=1,2,3\n");
  EXPECT_FALSE(config.HasSection());
  EXPECT_EQ(config.Values(), FileSkinDefaults());
}

TEST(SkinConfigTest, IntegerForm) {
  EXPECT_EQ(ParseSkinInteger("-12"), -12);
  EXPECT_EQ(ParseSkinInteger("0000000012"), 12);
  EXPECT_EQ(ParseSkinInteger(""), 0);
  EXPECT_EQ(ParseSkinInteger("2147483647"), 2147483647);
  EXPECT_EQ(ParseSkinInteger("9999999999"), 2147483647);  // ten digits fit, the value clamps
  EXPECT_FALSE(ParseSkinInteger("12x"));
  EXPECT_FALSE(ParseSkinInteger("1-2"));
  EXPECT_FALSE(ParseSkinInteger("+12"));
  EXPECT_FALSE(ParseSkinInteger("12345678901"));
  EXPECT_EQ(SkinConfig(Cfg("FontSize=12x\n")).Values().fontSize, 9);
  EXPECT_EQ(SkinConfig(Cfg("FontSize=-12\n")).Values().fontSize, -12);
}

TEST(SkinConfigTest, RectangleForm) {
  EXPECT_EQ(ParseSkinRect("1, 2,3,4 and more"), (SkinRect{1, 2, 3, 4}));
  EXPECT_EQ(ParseSkinRect("5,5,5,5"), (SkinRect{5, 5, 5, 5}));
  EXPECT_FALSE(ParseSkinRect("100,0,50,20"));  // right < left
  EXPECT_FALSE(ParseSkinRect("0,20,50,10"));   // bottom < top
  EXPECT_FALSE(ParseSkinRect("1,2,3"));
  EXPECT_FALSE(ParseSkinRect("1 ,2,3,4"));
  EXPECT_EQ(SkinConfig(Cfg("NumTextRect=100,0,50,20\n")).Values().numberRect, (SkinRect{29, 6, 145, 22}));
}

TEST(SkinConfigTest, ColourFormAndTheBlackKeyColour) {
  EXPECT_EQ(ParseSkinColor("255,128,0"), MakeSkinColor(255, 128, 0));
  EXPECT_FALSE(ParseSkinColor("256,0,0"));
  EXPECT_FALSE(ParseSkinColor("-1,0,0"));
  EXPECT_FALSE(ParseSkinColor("1,2"));
  EXPECT_FALSE(SkinConfig(Cfg("TransparentColor=0,0,0\n")).Values().transparentColor);
  EXPECT_FALSE(SkinConfig(Cfg("TransparentColor=1,2,999\n")).Values().transparentColor);
  EXPECT_EQ(SkinConfig(Cfg("NumColor=1,2,999\n")).Values().numberColor, 0u);
}

TEST(SkinConfigTest, LinesLongerThanTheBufferComeInPieces) {
  // 259 characters make one line; the rest of a longer line is read as a line of its own.
  std::string comment = ";" + std::string(258, 'x');
  SkinConfig config(Cfg(comment + "DialogLeft=7\n"));
  EXPECT_EQ(config.Values().left, 7);
  std::string longValue = "DialogTop=" + std::string(249, '1');
  EXPECT_EQ(SkinConfig(Cfg(longValue + "\n")).Values().top, 59);  // too many digits
  EXPECT_EQ(SkinConfig(Cfg(std::string("DialogTop=5\0DialogLeft=3\n", 25))).Values().top, 5);
}

}  // namespace
}  // namespace brevalo
