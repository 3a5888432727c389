#include "settings/hot_key_binding.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/settings_test_support.h"

namespace brevalo {
namespace {

constexpr RegRoot HKCU = RegRoot::CurrentUser;
constexpr std::u16string_view kKey = u"Software\\Velmora\\Key";

class HotKeyBindingTest : public ::testing::Test {
 protected:
  void Store(int position, uint32_t modifiers, uint32_t key, uint32_t command) {
    const std::string n = std::to_string(position);
    const std::u16string suffix(n.begin(), n.end());
    ASSERT_TRUE(registry_->SetDword(HKCU, kKey, u"KeyVirt" + suffix, modifiers));
    ASSERT_TRUE(registry_->SetDword(HKCU, kKey, u"KeyCode" + suffix, key));
    ASSERT_TRUE(registry_->SetDword(HKCU, kKey, u"KeyCmd" + suffix, command));
  }
  TempRegistry registry_;
};

TEST_F(HotKeyBindingTest, GapsAreSkippedAndTheSaveClosesThem) {
  Store(0, 1, 0x35, 40069);
  Store(1, 9, 0x0D, 40001);
  Store(5, 1, 0x79, 40068);
  const std::vector<HotKeyBinding> expected = {
      {1, 0x35, 40069}, {9, 0x0D, 40001}, {1, 0x79, 40068}};
  std::vector<HotKeyBinding> loaded = LoadHotKeyBindings(*registry_);
  EXPECT_EQ(loaded, expected);

  ASSERT_TRUE(SaveHotKeyBindings(*registry_, loaded));
  Registry& reopened = registry_.Reopen();
  EXPECT_EQ(
      reopened.ValueNames(HKCU, kKey),
      (std::vector<std::u16string>{u"KeyCmd0", u"KeyCmd1", u"KeyCmd2", u"KeyCode0", u"KeyCode1",
                                   u"KeyCode2", u"KeyVirt0", u"KeyVirt1", u"KeyVirt2"}));
  EXPECT_EQ(reopened.QueryDword(HKCU, kKey, u"KeyCode2"), 0x79u);
  EXPECT_EQ(reopened.QueryDword(HKCU, kKey, u"KeyCmd2"), 40068u);
  EXPECT_EQ(LoadHotKeyBindings(reopened), expected);
}

TEST_F(HotKeyBindingTest, PositionMissingAnyPartOrHoldingAllBitsSetIsSkipped) {
  Store(0, 1, 0xFFFFFFFF, 40069);
  Store(1, 0xFFFFFFFF, 0x30, 40001);
  Store(2, 1, 0x31, 0xFFFFFFFF);
  Store(3, 1, 0x32, 40072);
  Store(4, 1, 0x33, 40041);
  ASSERT_TRUE(registry_->DeleteValue(HKCU, kKey, u"KeyVirt4"));
  Store(7, 0xFFFFFFFE, 0xFFFFFFFE, 0xFFFFFFFE);  // one bit short of missing
  EXPECT_EQ(LoadHotKeyBindings(*registry_),
            (std::vector<HotKeyBinding>{{1, 0x32, 40072}, {0xFE, 0xFFFE, 0xFFFE}}));
}

TEST_F(HotKeyBindingTest, FieldsTakeTheLowBitsOfTheirValues) {
  Store(0, 0x1234, 0x12345, 0xABCD9C45);
  EXPECT_EQ(LoadHotKeyBindings(*registry_), (std::vector<HotKeyBinding>{{0x34, 0x2345, 0x9C45}}));
}

TEST_F(HotKeyBindingTest, PositionsUpTo98AreReadAndNoFurther) {
  Store(98, 1, 0x38, 40083);
  Store(99, 1, 0x39, 40080);
  EXPECT_EQ(LoadHotKeyBindings(*registry_), (std::vector<HotKeyBinding>{{1, 0x38, 40083}}));
}

TEST_F(HotKeyBindingTest, SaveReplacesWhateverTheKeyHeld) {
  for (int i = 0; i < 6; ++i) Store(i, 1, 0x30 + i, 40001);
  ASSERT_TRUE(registry_->CreateKey(HKCU, u"Software\\Velmora\\Key\\Stray"));
  ASSERT_TRUE(registry_->SetDword(HKCU, kKey, u"Other", 3));
  ASSERT_TRUE(SaveHotKeyBindings(*registry_, {{1, 0x26, 40065}}));
  Registry& reopened = registry_.Reopen();
  EXPECT_EQ(reopened.ValueNames(HKCU, kKey).size(), 3u);
  EXPECT_TRUE(reopened.SubKeys(HKCU, kKey).empty());
  EXPECT_EQ(LoadHotKeyBindings(reopened), (std::vector<HotKeyBinding>{{1, 0x26, 40065}}));

  // An emptied list leaves the key there and empty.
  ASSERT_TRUE(SaveHotKeyBindings(reopened, {}));
  EXPECT_TRUE(registry_.Reopen().KeyExists(HKCU, kKey));
  EXPECT_TRUE(registry_->ValueNames(HKCU, kKey).empty());
}

TEST_F(HotKeyBindingTest, MissingKeyLoadsNoBindings) {
  ASSERT_TRUE(registry_->SetDword(HKCU, u"Software\\Velmora", u"KeyVirt0", 1));
  EXPECT_TRUE(LoadHotKeyBindings(*registry_).empty());
}

}  // namespace
}  // namespace brevalo
