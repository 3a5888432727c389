#include "filter/filter_engine.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

#include "filter/rules_file_test_bytes.h"
#include "filter/rules_file_writer.h"

namespace brevalo {
namespace {

namespace fs = std::filesystem;
using testing::RulesBytes;

class FilterEngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("filter_engine_test_" + std::to_string(::getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    path_ = folder_ / fs::path(RulesFileName);
  }
  void TearDown() override { fs::remove_all(folder_); }

  void WriteFile(const std::string& bytes) {
    std::ofstream(path_, std::ios::binary) << bytes;
  }
  std::string FileBytes() const {
    std::ifstream in(path_, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }
  static std::unique_ptr<Filter> Named(std::u16string_view name) {
    auto filter = std::make_unique<Filter>();
    filter->name = std::u16string(name);
    return filter;
  }
  static std::u16string Names(const FilterEngine& engine) {
    std::u16string names;
    for (size_t i = 0; i < engine.FilterCount(); ++i) names += engine.FilterAt(i)->name;
    return names;
  }

  fs::path folder_;
  fs::path path_;
};

void ExpectDefaultContent(const Filter& filter) {
  EXPECT_EQ(filter.applyToAll, 1);
  EXPECT_EQ(filter.actions[ACTION_SAVE_TO_FOLDER]->text, u"\\Inbox");
  EXPECT_TRUE(filter.HasAction(ACTION_UNREAD_ALERT));
  for (size_t slot = 0; slot < ACTION_SLOT_COUNT; ++slot) {
    if (slot != ACTION_SAVE_TO_FOLDER && slot != ACTION_UNREAD_ALERT) {
      EXPECT_FALSE(filter.HasAction(slot)) << slot;
    }
  }
}

TEST_F(FilterEngineTest, AMissingFileGivesTheDefaultsAndIsWrittenAtOnce) {
  FilterEngine engine(path_);
  EXPECT_FALSE(engine.LoadRules());
  ExpectDefaultContent(engine.ContactDefault());
  ExpectDefaultContent(engine.StrangerDefault());
  EXPECT_EQ(FileBytes(),
            RulesBytes(u"G\r\nA0\\Inbox\r\nA8\r\nEnd\r\nU\r\nA0\\Inbox\r\nA8\r\nEnd\r\nP\r\n"));
  EXPECT_FALSE(fs::exists(folder_ / "velmora.ini.new"));
}

TEST_F(FilterEngineTest, LoadingReplacesTheRulesButKeepsThePassword) {
  WriteFile(RulesBytes(u"F01Work\r\nEnd\r\nBAnn`1234\r\nG\r\nA3\r\nEnd\r\n"));
  FilterEngine engine(path_);
  engine.AddFilter(Named(u"memory"));
  engine.AddBlackListEntry(u"Bob", u"5678");
  engine.StrangerDefault().SetAction(ACTION_VIBRATE);
  engine.SetRulePassword(u"secret");

  EXPECT_TRUE(engine.LoadRules());
  EXPECT_EQ(Names(engine), u"Work");
  ASSERT_EQ(engine.BlackList().size(), 1u);
  EXPECT_EQ(engine.BlackList()[0].name, u"Ann");
  EXPECT_TRUE(engine.ContactDefault().HasAction(ACTION_VIBRATE));
  EXPECT_EQ(engine.RulePassword(), u"secret") << "the file has no P line";
}

TEST_F(FilterEngineTest, AFileWithoutGOrULeavesThatDefaultWithoutActions) {
  WriteFile(RulesBytes(u"F01Work\r\nEnd\r\nU\r\nA1\r\nEnd\r\nP\r\n"));
  FilterEngine engine(path_);
  ASSERT_TRUE(engine.LoadRules());
  EXPECT_EQ(engine.ContactDefault().actions, Filter().actions);
  EXPECT_EQ(engine.ContactDefault().applyToAll, 1) << "applies to all whatever the file says";
  EXPECT_EQ(engine.StrangerDefault().applyToAll, 1);
  EXPECT_TRUE(engine.StrangerDefault().HasAction(ACTION_HIDE_IN_INBOX));
  EXPECT_EQ(&engine.MatchFilter({u"Ann <1>", u"x"}), engine.FilterAt(0));
}

TEST_F(FilterEngineTest, AFileThatCannotBeReadIsNotOverwritten) {
  // Something is there but cannot be opened: a link that points at itself.
  fs::create_symlink(path_, path_);
  FilterEngine engine(path_);
  EXPECT_FALSE(engine.LoadRules());
  ExpectDefaultContent(engine.ContactDefault());
  EXPECT_TRUE(fs::is_symlink(path_)) << "replaced by a file of defaults";
  EXPECT_FALSE(fs::exists(folder_ / "velmora.ini.new"));
}

TEST_F(FilterEngineTest, AFailedSaveIsReportedAndLeavesNothingBehind) {
  fs::create_directories(path_ / "occupied");
  FilterEngine engine(path_);
  EXPECT_FALSE(engine.LoadRules());
  EXPECT_FALSE(engine.SaveRules());
  EXPECT_TRUE(fs::is_directory(path_ / "occupied"));
  EXPECT_FALSE(fs::exists(folder_ / "velmora.ini.new"));
}

TEST_F(FilterEngineTest, SavedRulesLoadBackEqual) {
  FilterEngine engine(path_);
  engine.LoadRules();
  auto work = Named(u"Work");
  work->conditions[0] = FilterCondition{OBJECT_BODY, JUDGE_INCLUDE, u"meeting"};
  work->SetAction(ACTION_AUTO_REPLY, u"In a meeting.\r\nCall you back.");
  engine.AddFilter(std::move(work));
  engine.AddFilter(Named(u"Other"));
  engine.AddBlackListEntry(u"Spam", u"13?00");
  engine.AddBlackListEntry(u"Tick`s", u"99");
  engine.SetRulePassword(u"0123456789abcdef");
  ASSERT_TRUE(engine.SaveRules());
  EXPECT_EQ(engine.FilterAt(0)->actions[ACTION_AUTO_REPLY]->text,
            u"In a meeting.\r\nCall you back.")
      << "the text in memory keeps its line break";

  FilterEngine reloaded(path_);
  ASSERT_TRUE(reloaded.LoadRules());
  // Equal but for the default's unread alert, which was made without text and reads back with an
  // empty one; the written forms are the same.
  EXPECT_EQ(WriteRules(reloaded.Rules()), WriteRules(engine.Rules()));
  EXPECT_EQ(reloaded.FilterAt(0)->actions, engine.FilterAt(0)->actions);
  EXPECT_EQ(reloaded.BlackList(), engine.BlackList());
  EXPECT_EQ(reloaded.RulePassword(), u"0123456789ab");
}

TEST_F(FilterEngineTest, SavingWithoutAPathOrAFolderChangesNothing) {
  FilterEngine inMemory{fs::path()};
  EXPECT_FALSE(inMemory.LoadRules());
  ExpectDefaultContent(inMemory.StrangerDefault());
  EXPECT_FALSE(inMemory.SaveRules());

  FilterEngine nowhere(folder_ / "missing" / "velmora.ini");
  EXPECT_FALSE(nowhere.LoadRules());
  EXPECT_TRUE(nowhere.AddBlackListEntry(u"a", u"1"));
  EXPECT_FALSE(nowhere.SaveRules());
  EXPECT_EQ(nowhere.BlackList().size(), 1u) << "the change stays in memory";
}

TEST_F(FilterEngineTest, EditingTheFilterList) {
  FilterEngine engine(path_);
  EXPECT_FALSE(engine.AddFilter(nullptr));
  for (std::u16string_view name : {u"a", u"b", u"c", u"d"}) engine.AddFilter(Named(name));
  const Filter* b = engine.FilterAt(1);
  EXPECT_TRUE(engine.SwapFilters(0, 3));
  EXPECT_EQ(Names(engine), u"dbca");
  EXPECT_TRUE(engine.SwapFilters(2, 2));
  EXPECT_FALSE(engine.SwapFilters(0, 4));
  EXPECT_FALSE(engine.SwapFilters(9, 0));
  EXPECT_EQ(Names(engine), u"dbca");
  EXPECT_TRUE(engine.RemoveFilter(0));
  EXPECT_EQ(Names(engine), u"bca");
  EXPECT_EQ(engine.FilterAt(0), b) << "filters are owned one by one and do not move";
  EXPECT_FALSE(engine.RemoveFilter(3));
  EXPECT_EQ(engine.FilterAt(3), nullptr);
  EXPECT_EQ(Names(engine), u"bca");
}

TEST_F(FilterEngineTest, EditingTheBlackList) {
  FilterEngine engine(path_);
  EXPECT_FALSE(engine.AddBlackListEntry(u"", u"1234"));
  EXPECT_FALSE(engine.AddBlackListEntry(u"Anyone", u"")) << "would black-list every sender";
  EXPECT_FALSE(engine.IsBlackListed({u"5555", u"x"}));
  EXPECT_TRUE(engine.AddBlackListEntry(u"Ann", u"1234"));
  EXPECT_TRUE(engine.AddBlackListEntry(u"Ann", u"1234"));
  EXPECT_TRUE(engine.AddBlackListEntry(u"Bob", u"5555"));
  EXPECT_TRUE(engine.IsBlackListed({u"Bob <+1 5555>", u"x"}));
  EXPECT_TRUE(engine.RemoveBlackListEntry(2));
  EXPECT_FALSE(engine.RemoveBlackListEntry(2));
  EXPECT_FALSE(engine.IsBlackListed({u"5555", u"x"}));
  EXPECT_EQ(engine.BlackList().size(), 2u);
}

}  // namespace
}  // namespace brevalo
