#include "settings/hot_key_page.h"

#include <gtest/gtest.h>

#include "settings/option_checks.h"

namespace brevalo {
namespace {

constexpr uint16_t kSave = 40069;
constexpr uint16_t kOpen = 40074;
constexpr uint16_t kView = 40001;
constexpr size_t kOpenRow = 2;
constexpr size_t kSaveRow = 3;

TEST(HotKeyPageTest, RowsFollowTheCommandTableAndTheLastBindingOfACommandShows) {
  HotKeyPage page({{1, 0x35, kSave}, {1, 0x36, kSave}, {1, 0x0D, 12345}, {9, 0x70, kView}});
  ASSERT_EQ(page.Rows().size(), 16u);
  EXPECT_EQ(page.Rows()[kSaveRow].command, kSave);
  EXPECT_EQ(page.Rows()[kSaveRow].key, 0x36);
  EXPECT_EQ(page.Rows()[0].key, 0x70);
  EXPECT_EQ(page.Rows()[0].modifiers, 9);
  EXPECT_EQ(page.Rows()[15].command, 40068);
  EXPECT_EQ(page.Rows()[kOpenRow].key, kUnmappedKey);
  // OK keeps what the rows show: one binding per command, the one without a row dropped.
  EXPECT_EQ(page.Bindings(), (std::vector<HotKeyBinding>{{9, 0x70, kView}, {1, 0x36, kSave}}));
}

TEST(HotKeyPageTest, AKeyTakenForAnotherRowLeavesTheRowThatHadIt) {
  HotKeyPage page({});
  page.Captured(kSaveRow, 0x35, 0);
  EXPECT_EQ(page.Rows()[kSaveRow].key, kUnmappedKey) << "nothing is taken without capturing";
  page.StartCapture();
  page.Captured(kSaveRow, 0x35, 0);
  EXPECT_FALSE(page.Capturing());
  EXPECT_EQ(page.Rows()[kSaveRow].key, 0x35);
  EXPECT_EQ(page.Rows()[kSaveRow].modifiers, kHotKeyVirtual);
  page.StartCapture();
  page.Captured(kOpenRow, 0x35, 0);
  EXPECT_EQ(page.Rows()[kOpenRow].key, 0x35);
  EXPECT_EQ(page.Rows()[kSaveRow].key, kUnmappedKey);
  EXPECT_EQ(page.Bindings(), (std::vector<HotKeyBinding>{{1, 0x35, kOpen}}));
  // The same key with other modifiers is another key.
  page.StartCapture();
  page.Captured(kSaveRow, 0x35, kHotKeyShift);
  EXPECT_EQ(page.Rows()[kOpenRow].key, 0x35);
  EXPECT_EQ(page.Rows()[kSaveRow].modifiers, kHotKeyVirtual | kHotKeyShift);
  page.StartCapture();
  page.Captured(99, 0x36, 0);
  EXPECT_TRUE(page.Capturing()) << "a row outside the page takes no key";
  EXPECT_EQ(page.Bindings().size(), 2u);
}

TEST(HotKeyPageTest, BackUnmapsAndResetEmptiesEveryRow) {
  HotKeyPage page({{1, 0x35, kSave}, {1, 0x36, kOpen}});
  page.Unmap(kSaveRow);
  page.Unmap(99);
  EXPECT_EQ(page.Bindings(), (std::vector<HotKeyBinding>{{1, 0x36, kOpen}}));
  page.Reset();
  EXPECT_TRUE(page.Bindings().empty());
}

TEST(HotKeyPageTest, KeyNamesAreTheTableTextsElseTheCodeInDecimal) {
  EXPECT_EQ(HotKeyName(kUnmappedKey), u"(none)");
  EXPECT_EQ(HotKeyName(0x0D), u"Action");
  EXPECT_EQ(HotKeyName(0x35), u"5");
  EXPECT_EQ(HotKeyName(0x77), u"*");
  EXPECT_EQ(HotKeyName(0x75), u"Volumn Up");
  EXPECT_EQ(HotKeyName(0x79), u"Record");
  EXPECT_EQ(HotKeyName(0x70), u"0x112X");
  EXPECT_EQ(HotKeyName(0), u"0x0X");
}

TEST(OptionChecksTest, OutOfRangeChoicesShowAsTheirFallBack) {
  EXPECT_EQ(TitleChoiceOf(0), 0);
  EXPECT_EQ(TitleChoiceOf(1), 1);
  EXPECT_EQ(TitleChoiceOf(3), 2);
  EXPECT_EQ(TitleChoiceOf(-1), 2);
  EXPECT_EQ(ProtectChoiceOf(2), 2);
  EXPECT_EQ(ProtectChoiceOf(0), 0);
  EXPECT_EQ(ProtectChoiceOf(7), 1);
  EXPECT_EQ(ProtectChoiceOf(-7), 1);
}

TEST(OptionChecksTest, BoxesReadTheirLeadingNumber) {
  EXPECT_EQ(BoxNumber(u"5"), 5);
  EXPECT_EQ(BoxNumber(u" 12min"), 12);
  EXPECT_EQ(BoxNumber(u""), 0);
  EXPECT_EQ(BoxNumber(u"abc"), 0);
  EXPECT_EQ(BoxNumber(u"-3"), -3);
  EXPECT_EQ(BoxNumber(u"99999999999999999999"), 2147483647);
  EXPECT_EQ(BoxNumber(u"-99999999999999999999"), -2147483648LL);
}

TEST(OptionChecksTest, CountsMustBePositiveAndFitTheirSetting) {
  EXPECT_EQ(PositiveBoxValue(u"5", 100), 5);
  EXPECT_EQ(PositiveBoxValue(u"0", 100), std::nullopt);
  EXPECT_EQ(PositiveBoxValue(u"", 100), std::nullopt);
  EXPECT_EQ(PositiveBoxValue(u"x", 100), std::nullopt);
  EXPECT_EQ(PositiveBoxValue(u"-1", 100), std::nullopt);
  EXPECT_EQ(PositiveBoxValue(u"101", 100), std::nullopt);
  EXPECT_EQ(SecondsBoxMs(u"30", false), 30000);
  EXPECT_EQ(SecondsBoxMs(u"0", false), std::nullopt);
  EXPECT_EQ(SecondsBoxMs(u"0", true), 0);
  EXPECT_EQ(SecondsBoxMs(u"2147483", true), 2147483000);
  EXPECT_EQ(SecondsBoxMs(u"2147484", true), std::nullopt) << "more than 32-bit milliseconds hold";
  EXPECT_EQ(SecondsBoxMs(u"-1", true), std::nullopt);
}

}  // namespace
}  // namespace brevalo
