#include "app/rule_password.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

namespace brevalo {
namespace {

namespace fs = std::filesystem;

class RulePasswordTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("rule_password_test_" + std::to_string(::getpid()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }
  fs::path RulesPath() const { return folder_ / fs::path(RulesFileName); }
  PasswordAsk Ask(bool give) {
    return [this, give](std::u16string_view password) {
      asked.emplace_back(password);
      return give;
    };
  }

  fs::path folder_;
  std::vector<std::u16string> asked;
};

TEST_F(RulePasswordTest, OnlyASetPasswordIsAskedAndItsCancelAbandons) {
  FilterEngine engine(RulesPath());
  EXPECT_TRUE(RulePasswordPasses(engine, Ask(false)));
  EXPECT_TRUE(asked.empty());
  engine.SetRulePassword(u"rules");
  EXPECT_FALSE(RulePasswordPasses(engine, Ask(false)));
  EXPECT_TRUE(RulePasswordPasses(engine, Ask(true)));
  EXPECT_EQ(asked, (std::vector<std::u16string>{u"rules", u"rules"}));
  EXPECT_FALSE(RulePasswordPasses(engine, nullptr)) << "nobody to ask";
}

TEST_F(RulePasswordTest, AChangeIsInTheRulesFileAtOnceAndAnEmptyOneRemovesIt) {
  FilterEngine engine(RulesPath());
  ASSERT_TRUE(ChangeRulePassword(engine, u"rules"));
  FilterEngine reread(RulesPath());
  reread.LoadRules();
  EXPECT_EQ(reread.RulePassword(), u"rules");

  ASSERT_TRUE(ChangeRulePassword(engine, u""));
  reread.LoadRules();
  EXPECT_EQ(reread.RulePassword(), u"");
}

TEST_F(RulePasswordTest, AFileThatCannotBeWrittenKeepsTheOldPassword) {
  // The rules file's folder is gone: nothing can be written there.
  FilterEngine engine(folder_ / "gone" / fs::path(RulesFileName));
  engine.SetRulePassword(u"old");
  EXPECT_FALSE(ChangeRulePassword(engine, u"new"));
  EXPECT_EQ(engine.RulePassword(), u"old");
}

}  // namespace
}  // namespace brevalo
