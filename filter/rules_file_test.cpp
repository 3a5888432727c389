#include <gtest/gtest.h>

#include <string>

#include "filter/rules_file_format.h"
#include "filter/rules_file_reader.h"
#include "filter/rules_file_test_bytes.h"
#include "filter/rules_file_writer.h"

namespace brevalo {
namespace {

using testing::RulesBytes;
using testing::RulesText;

RuleSet Read(std::u16string_view text) {
  RuleSet rules;
  ReadRules(RulesBytes(text), rules);
  return rules;
}

std::u16string Written(const RuleSet& rules) { return RulesText(WriteRules(rules)); }

RuleSet ReadBack(const RuleSet& rules) {
  RuleSet back;
  ReadRules(WriteRules(rules), back);
  return back;
}

// ---- Reading ----------------------------------------------------------------------------------

TEST(RulesFileReaderTest, ReadsEveryKindOfLine) {
  const RuleSet rules = Read(
      u"F01Work\r\nC12boss\r\nC03+86\r\nA0\\Inbox\\Work\r\nA1\r\nEnd\r\n"
      u"BAnn`1234\r\n"
      u"G\r\nA8\r\nEnd\r\n"
      u"U\r\nA3\r\nEnd\r\n"
      u"P\xFDB1\xFDB2\r\n");
  ASSERT_EQ(rules.filters.size(), 1u);
  const Filter& work = *rules.filters[0];
  EXPECT_EQ(work.applyToAll, 0);
  EXPECT_EQ(work.enabled, 1);
  EXPECT_EQ(work.name, u"Work");
  EXPECT_EQ(work.conditions[0], (FilterCondition{OBJECT_BODY, JUDGE_EQUAL, u"boss"}));
  EXPECT_EQ(work.conditions[1], (FilterCondition{OBJECT_PHONE_NUMBER, JUDGE_NOT_EQUAL, u"+86"}));
  EXPECT_EQ(work.actions[ACTION_SAVE_TO_FOLDER]->text, u"\\Inbox\\Work");
  EXPECT_TRUE(work.HasAction(ACTION_HIDE_IN_INBOX));
  EXPECT_FALSE(work.HasAction(ACTION_VIBRATE));

  ASSERT_EQ(rules.blackList.size(), 1u);
  EXPECT_EQ(rules.blackList[0], (BlackListEntry{u"Ann", u"1234"}));
  EXPECT_TRUE(rules.contactDefault.HasAction(ACTION_UNREAD_ALERT));
  EXPECT_FALSE(rules.contactDefault.HasAction(ACTION_VIBRATE));
  EXPECT_TRUE(rules.strangerDefault.HasAction(ACTION_VIBRATE));
  EXPECT_EQ(rules.password, u"ab");  // 0xFDB1 ^ 0xFDD0 == 'a'
}

TEST(RulesFileReaderTest, SkipsTheFirstTwoBytesWithoutLookingAtThem) {
  RuleSet rules;
  ReadRules(RulesBytes(u"F11x\r\nEnd\r\n", "??"), rules);
  ASSERT_EQ(rules.filters.size(), 1u);
  EXPECT_EQ(rules.filters[0]->name, u"x");
}

TEST(RulesFileReaderTest, AcceptsLinesInAnyOrderAndSkipsUnknownOnes) {
  const RuleSet rules = Read(
      u"P\xFDB1\r\n"
      u"Xjunk\r\n\r\n"
      u"U\r\nZbody junk\r\nBNot`here\r\nA3\r\nEnd\r\n"
      u"A0stray action at top level\r\nC00stray condition\r\n"
      u"BAnn`1\r\n"
      u"F10First\r\nEnd\r\n");
  ASSERT_EQ(rules.filters.size(), 1u);
  EXPECT_EQ(rules.filters[0]->applyToAll, 1);
  EXPECT_EQ(rules.filters[0]->enabled, 0);
  EXPECT_EQ(rules.filters[0]->actions, Filter().actions);
  EXPECT_EQ(rules.filters[0]->conditions, Filter().conditions);
  ASSERT_EQ(rules.blackList.size(), 1u) << "a B line inside a body is not an entry";
  EXPECT_EQ(rules.blackList[0].name, u"Ann");
  EXPECT_TRUE(rules.strangerDefault.HasAction(ACTION_VIBRATE));
  EXPECT_EQ(rules.password, u"a");
}

TEST(RulesFileReaderTest, KeepsTheFirstTwoConditionsOfABody) {
  const RuleSet rules = Read(u"F00f\r\nC00one\r\nC11two\r\nC02three\r\nA3\r\nEnd\r\n");
  Filter expected;
  expected.enabled = 0;
  expected.name = u"f";
  expected.conditions[0] = FilterCondition{OBJECT_PHONE_NUMBER, JUDGE_INCLUDE, u"one"};
  expected.conditions[1] = FilterCondition{OBJECT_BODY, JUDGE_EXCLUDE, u"two"};
  expected.SetAction(ACTION_VIBRATE, u"");
  ASSERT_EQ(rules.filters.size(), 1u);
  EXPECT_EQ(*rules.filters[0], expected);
}

TEST(RulesFileReaderTest, ActionLines) {
  const RuleSet rules = Read(
      u"U\r\n"
      u"A4|\r\n"                  // the random ring
      u"A1\r\n"                   // nothing but the line end: an empty text
      u"A2first\r\nA2second\r\n"  // the later line replaces the earlier
      u"A5cut\rhere\r\n"          // cut at the first CR
      u"Ax\r\nA\r\n"              // no slot digit: skipped
      u"A7Hi``there\r\n"
      u"A9");                     // at the very end, nothing after the digit: no text
  const Filter& filter = rules.strangerDefault;
  EXPECT_EQ(filter.actions[ACTION_SOUND]->text, ActionRandomRing);
  EXPECT_EQ(filter.actions[ACTION_HIDE_IN_INBOX]->text, u"");
  EXPECT_EQ(filter.actions[ACTION_AUTO_REPLY]->text, u"second");
  EXPECT_EQ(filter.actions[ACTION_AUTO_FORWARD]->text, u"cut");
  EXPECT_EQ(filter.actions[ACTION_SENTENCE]->text, u"Hi\r\nthere");
  ASSERT_TRUE(filter.HasAction(ACTION_PHOTO));
  EXPECT_FALSE(filter.actions[ACTION_PHOTO]->text.has_value());
  for (size_t slot : {ACTION_SAVE_TO_FOLDER, ACTION_VIBRATE, ACTION_POPUP, ACTION_UNREAD_ALERT}) {
    EXPECT_FALSE(filter.HasAction(slot)) << slot;
  }
}

TEST(RulesFileReaderTest, DigitsAndShortLines) {
  const RuleSet rules = Read(
      u"F12two\r\nC5x\r\nC0\r\nC2-odd\r\nEnd\r\n"  // "C0" lacks its judge: skipped
      u"F1\r\nA3\r\nEnd\r\n"                       // too short for a filter: its body is skipped
      u"F0xnon-digit\r\nEnd\r\n");
  ASSERT_EQ(rules.filters.size(), 2u);
  const Filter& two = *rules.filters[0];
  EXPECT_EQ(two.applyToAll, 1);
  EXPECT_EQ(two.enabled, 1) << "any flag but 0 leaves the filter enabled";
  EXPECT_EQ(two.conditions[0], (FilterCondition{5, 9, u""}));
  EXPECT_EQ(two.conditions[1], (FilterCondition{2, 9, u"odd"}));
  EXPECT_FALSE(two.HasAction(ACTION_VIBRATE));
  EXPECT_EQ(rules.filters[1]->applyToAll, 0);
  EXPECT_EQ(rules.filters[1]->enabled, 1);
  EXPECT_EQ(rules.filters[1]->name, u"non-digit");
}

TEST(RulesFileReaderTest, BlackListLinesNeedANameAndANumber) {
  const RuleSet rules = Read(
      u"BAnn`1234\r\n"
      u"B`1234\r\nBAnn\r\nBAnn`\r\nB\r\n"  // each lacks a piece
      u"BBob``5678`rest\r\n"               // runs of backticks separate; a third piece is ignored
      u"BAnn`1234\r\n");                   // the same entry twice is kept twice
  ASSERT_EQ(rules.blackList.size(), 3u);
  EXPECT_EQ(rules.blackList[0], (BlackListEntry{u"Ann", u"1234"}));
  EXPECT_EQ(rules.blackList[1], (BlackListEntry{u"Bob", u"5678"}));
  EXPECT_EQ(rules.blackList[2], rules.blackList[0]);
}

TEST(RulesFileReaderTest, EscapedBlackListLines) {
  const RuleSet rules = Read(u"KA`bnn`s12`b34\r\nKno separator\r\nK`s1\r\nKAnn`s\r\n");
  ASSERT_EQ(rules.blackList.size(), 1u);
  EXPECT_EQ(rules.blackList[0], (BlackListEntry{u"A`nn", u"12`34"}));
}

TEST(RulesFileReaderTest, PasswordLines) {
  EXPECT_EQ(Read(u"F11x\r\nEnd\r\n").password, u"") << "no P line";
  EXPECT_EQ(Read(u"P\r\n").password, u"");
  std::u16string scrambled;
  for (char16_t c : std::u16string(u"0123456789abcdef")) {
    scrambled += static_cast<char16_t>(c ^ RuleScrambleConstant);
  }
  EXPECT_EQ(Read(u"P" + scrambled + u"\r\n").password, u"0123456789ab") << "at most 12";

  RuleSet kept;
  kept.password = u"old";
  ReadRules(RulesBytes(u"G\r\nEnd\r\n"), kept);
  EXPECT_EQ(kept.password, u"old") << "only a P line sets the password";
}

TEST(RulesFileReaderTest, CutsNamesButReadsLongLinesWhole) {
  const std::u16string longName(60, u'n');
  const std::u16string reply(3000, u'r');
  const RuleSet rules = Read(u"F11" + longName + u"\r\nA2" + reply + u"\r\nA3\r\nEnd\r\n");
  ASSERT_EQ(rules.filters.size(), 1u);
  EXPECT_EQ(rules.filters[0]->name, std::u16string(rules_file::FilterNameLimit, u'n'));
  EXPECT_EQ(rules.filters[0]->actions[ACTION_AUTO_REPLY]->text, reply);
  EXPECT_TRUE(rules.filters[0]->HasAction(ACTION_VIBRATE)) << "nothing after the long line is lost";
}

// ---- Writing ----------------------------------------------------------------------------------

TEST(RulesFileWriterTest, WritesInTheOrderEveryReleaseExpects) {
  RuleSet rules;
  auto first = std::make_unique<Filter>();
  first->name = u"One";
  first->conditions[1] = FilterCondition{OBJECT_BODY, JUDGE_INCLUDE, u"b"};
  first->conditions[0] = FilterCondition{OBJECT_PHONE_NUMBER, JUDGE_EQUAL, u"a"};
  first->SetAction(ACTION_UNREAD_ALERT);
  first->SetAction(ACTION_SAVE_TO_FOLDER, u"\\Inbox");
  auto second = std::make_unique<Filter>();
  second->applyToAll = 1;
  second->enabled = 0;
  second->name = u"Two";
  rules.filters.push_back(std::move(first));
  rules.filters.push_back(std::move(second));
  rules.blackList = {{u"Ann", u"1234"}, {u"Bob", u"13?00"}};
  rules.contactDefault.SetAction(ACTION_VIBRATE);
  rules.strangerDefault.SetAction(ACTION_SOUND, u"|");
  rules.password = u"a";

  EXPECT_EQ(WriteRules(rules),
            RulesBytes(
            u"F01One\r\nC02a\r\nC10b\r\nA0\\Inbox\r\nA8\r\nEnd\r\n"
            u"F10Two\r\nEnd\r\n"
            u"BAnn`1234\r\nBBob`13?00\r\n"
            u"G\r\nA3\r\nEnd\r\n"
            u"U\r\nA4|\r\nEnd\r\n"
            u"P\xFDB1\r\n"));
}

TEST(RulesFileWriterTest, AnEmptyRuleSetStillWritesBothDefaultsAndThePasswordLine) {
  EXPECT_EQ(WriteRules(RuleSet()),
            RulesBytes(u"G\r\nEnd\r\nU\r\nEnd\r\nP\r\n"));
}

TEST(RulesFileWriterTest, ATwoLineReplyIsOneLineWithTwoBackticks) {
  RuleSet rules;
  rules.contactDefault.SetAction(ACTION_AUTO_REPLY, u"Busy.\r\nLater.");
  const std::u16string text = Written(rules);
  EXPECT_NE(text.find(u"\r\nA2Busy.``Later.\r\nEnd\r\n"), std::u16string::npos);
  EXPECT_EQ(ReadBack(rules).contactDefault.actions[ACTION_AUTO_REPLY]->text, u"Busy.\r\nLater.");
}

TEST(RulesFileWriterTest, NoStoredTextCanStartALineOfItsOwn) {
  RuleSet rules;
  auto filter = std::make_unique<Filter>();
  filter->name = u"a\r\nF11injected";
  filter->conditions[0] = FilterCondition{OBJECT_BODY, JUDGE_INCLUDE, u"x\nBEvil`1"};
  filter->SetAction(ACTION_AUTO_REPLY, u"one\nPsecret\rtwo`three");
  rules.filters.push_back(std::move(filter));
  rules.blackList = {{u"Ann\r\nF00x", u"12`34"}};

  const RuleSet back = ReadBack(rules);
  ASSERT_EQ(back.filters.size(), 1u);
  EXPECT_EQ(back.filters[0]->name, u"a  F11injected");
  EXPECT_EQ(back.filters[0]->conditions[0]->content, u"x BEvil`1");
  EXPECT_EQ(back.filters[0]->actions[ACTION_AUTO_REPLY]->text, u"one\nPsecret\rtwo`three");
  EXPECT_EQ(back.blackList, rules.blackList);
  EXPECT_EQ(back.password, u"");
}

TEST(RulesFileWriterTest, ValuesThatAreNoDigitKeepTheirMeaning) {
  RuleSet rules;
  auto filter = std::make_unique<Filter>();
  filter->applyToAll = 7;  // not 1: conditions count
  filter->enabled = -2;    // not 0: enabled
  filter->conditions[0] = FilterCondition{42, -1, u"c"};
  rules.filters.push_back(std::move(filter));
  const RuleSet back = ReadBack(rules);
  ASSERT_EQ(back.filters.size(), 1u);
  EXPECT_EQ(back.filters[0]->applyToAll, 0);
  EXPECT_EQ(back.filters[0]->enabled, 1);
  EXPECT_EQ(back.filters[0]->conditions[0], (FilterCondition{9, 9, u"c"}));
}

// ---- Round trips ------------------------------------------------------------------------------

Filter EveryFieldSet(std::u16string_view name, int seed) {
  Filter filter;
  filter.applyToAll = seed % 2;
  filter.enabled = (seed + 1) % 2;
  filter.name = std::u16string(name);
  filter.conditions[0] = FilterCondition{OBJECT_PHONE_NUMBER, seed % 4, u"+86 1?34"};
  filter.conditions[1] = FilterCondition{OBJECT_BODY, (seed + 1) % 4, u"Grüße 你好 `tick`"};
  for (size_t slot = 0; slot < ACTION_SLOT_COUNT; ++slot) {
    filter.SetAction(slot, u"slot " + std::u16string(1, static_cast<char16_t>(u'0' + slot)) +
                               u"\r\nsecond line `x` \U0001F600");
  }
  return filter;
}

TEST(RulesFileRoundTripTest, ARuleSetWithEveryFieldSetReadsBackEqual) {
  RuleSet rules;
  for (int i = 0; i < 3; ++i) {
    rules.filters.push_back(std::make_unique<Filter>(EveryFieldSet(u"Filter \u00E9", i)));
  }
  rules.filters.push_back(std::make_unique<Filter>(EveryFieldSet(u"Filter \u00E9", 0)));  // same name
  rules.blackList = {{u"Ann", u"1234"}, {u"Ann", u"1234"}, {u"B`ob", u"+86 13?00"}};
  rules.contactDefault = EveryFieldSet(u"", 1);
  rules.strangerDefault = EveryFieldSet(u"", 0);
  // The defaults' flags are not in the file; the engine sets them after loading.
  rules.contactDefault.applyToAll = rules.strangerDefault.applyToAll = 0;
  rules.contactDefault.enabled = rules.strangerDefault.enabled = 1;
  rules.password = u"pa`ss\u00E9\U0001F600";
  rules.contactDefault.actions[ACTION_AUTO_REPLY]->text = std::u16string(5000, u'L') + u"\r\nend";

  const RuleSet back = ReadBack(rules);
  EXPECT_EQ(Written(back), Written(rules));
  EXPECT_EQ(back, rules);
}

TEST(RulesFileRoundTripTest, ASlotWithoutTextReadsBackWithAnEmptyText) {
  RuleSet rules;
  rules.strangerDefault.SetAction(ACTION_POPUP);
  const RuleSet back = ReadBack(rules);
  ASSERT_TRUE(back.strangerDefault.HasAction(ACTION_POPUP));
  EXPECT_EQ(back.strangerDefault.actions[ACTION_POPUP]->text, u"");
}

// ---- The password ----------------------------------------------------------------------------

bool IsNoncharacter(char16_t c) { return (c >= 0xFDD0 && c <= 0xFDEF) || c >= 0xFFFE; }

TEST(RulePasswordScrambleTest, NoTypableUnitBecomesATerminatorOrALineEnd) {
  // Every unit a keyboard or input method can produce: everything but the noncharacters, which
  // are no characters at all. Surrogate halves are included because characters outside the
  // first plane are typed as pairs.
  int typable = 0;
  for (uint32_t u = 0; u <= 0xFFFF; ++u) {
    const auto c = static_cast<char16_t>(u);
    if (IsNoncharacter(c)) continue;
    ++typable;
    const auto scrambled = static_cast<char16_t>(c ^ RuleScrambleConstant);
    ASSERT_NE(scrambled, u'\0') << std::hex << u;
    ASSERT_NE(scrambled, u'\r') << std::hex << u;
    ASSERT_NE(scrambled, u'\n') << std::hex << u;
  }
  EXPECT_EQ(typable, 0x10000 - 34);
}

TEST(RulePasswordScrambleTest, PasswordsComeBackWithoutBreakingTheirLine) {
  const std::u16string passwords[] = {u"\t !~\u007F", u"\u0100\u4F60\U0001F600\uFFFD",
                                      std::u16string(u"\r\n\0x", 4)};  // even these survive
  for (const std::u16string& password : passwords) {
    RuleSet rules;
    rules.password = password;
    const std::u16string text = Written(rules);
    const std::u16string line = text.substr(text.rfind(u'P'));
    EXPECT_EQ(line.find_first_of(std::u16string_view(u"\r\n\0", 3)), line.size() - 2)
        << "only the line end";
    EXPECT_EQ(ReadBack(rules).password, password);
  }
}

}  // namespace
}  // namespace brevalo
