#include "filter/filter_matcher.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "filter/normalize_number.h"

namespace brevalo {
namespace {

IncomingSms From(std::u16string_view sender, std::u16string_view text = u"hello") {
  return {sender, text};
}

TEST(TailMatchTest, ComparesTheEndOfTheText) {
  EXPECT_TRUE(TailMatch(u"1234", u"1234"));
  EXPECT_TRUE(TailMatch(u"1234", u"+861234"));
  EXPECT_FALSE(TailMatch(u"1234", u"12345"));
  EXPECT_FALSE(TailMatch(u"01234", u"1234")) << "a pattern longer than the text";
  EXPECT_TRUE(TailMatch(u"", u"")) << "an empty pattern matches every text";
  EXPECT_TRUE(TailMatch(u"", u"abc"));
  EXPECT_TRUE(TailMatch(u"??", u"ab"));
  EXPECT_FALSE(TailMatch(u"???", u"ab"));
  EXPECT_FALSE(TailMatch(u"Bye", u"bye")) << "case-sensitive";
}

class BlackListTest : public ::testing::Test {
 protected:
  bool Listed(std::u16string_view number, std::u16string_view sender) {
    RuleSet rules;
    rules.blackList = {{u"other", u"999999"}, {u"entry", std::u16string(number)}};
    return IsBlackListed(rules, From(sender));
  }
};

TEST_F(BlackListTest, MatchesEveryNumberEndingInTheEntry) {
  EXPECT_TRUE(Listed(u"1234", u"1234"));
  EXPECT_TRUE(Listed(u"1234", u"+861234"));
  EXPECT_TRUE(Listed(u"1234", u"\"Ann\" <+86 1-234>"));
  EXPECT_FALSE(Listed(u"1234", u"12345"));
  EXPECT_FALSE(Listed(u"1234", u"Ann 1234 <5678>")) << "only the number in brackets counts";
}

TEST_F(BlackListTest, AQuestionMarkStandsForAnyDigit) {
  for (char16_t d = u'0'; d <= u'9'; ++d) {
    EXPECT_TRUE(Listed(u"13?00", u"+86 1" + std::u16string(u"3") + d + u"00")) << char(d);
  }
  EXPECT_FALSE(Listed(u"13?00", u"13?01"));
  EXPECT_FALSE(Listed(u"13?00", u"3000")) << "an entry longer than the number";
}

TEST_F(BlackListTest, EntriesAreComparedAsStored) {
  EXPECT_FALSE(Listed(u"1-234", u"1-234")) << "the sender loses its hyphen, the entry keeps it";
  RuleSet empty;
  EXPECT_FALSE(IsBlackListed(empty, From(u"1234")));
}

// ---- Conditions ------------------------------------------------------------------------------

bool Holds(int32_t object, int32_t judge, std::u16string_view content, const IncomingSms& sms) {
  char16_t number[NormalizedNumberSize];
  const std::u16string_view senderNumber(number, NormalizeNumber(sms.sender, number));
  return ConditionHolds(FilterCondition{object, judge, std::u16string(content)}, sms, senderNumber);
}

TEST(ConditionTest, IncludeAndExcludeSearchTheRawSenderOrTheBody) {
  const IncomingSms sms = From(u"\"Ann Lee\" <+86 1-234>", u"see you at noon");
  EXPECT_TRUE(Holds(OBJECT_PHONE_NUMBER, JUDGE_INCLUDE, u"Ann", sms)) << "the display name";
  EXPECT_TRUE(Holds(OBJECT_PHONE_NUMBER, JUDGE_INCLUDE, u"1-2", sms)) << "raw, not normalized";
  EXPECT_FALSE(Holds(OBJECT_PHONE_NUMBER, JUDGE_INCLUDE, u"861", sms));
  EXPECT_FALSE(Holds(OBJECT_PHONE_NUMBER, JUDGE_INCLUDE, u"ann", sms)) << "case-sensitive";
  EXPECT_TRUE(Holds(OBJECT_BODY, JUDGE_INCLUDE, u"you at", sms));
  EXPECT_FALSE(Holds(OBJECT_BODY, JUDGE_INCLUDE, u"Ann", sms)) << "the body is not the sender";
  EXPECT_TRUE(Holds(OBJECT_BODY, JUDGE_EXCLUDE, u"Ann", sms));
  EXPECT_FALSE(Holds(OBJECT_PHONE_NUMBER, JUDGE_EXCLUDE, u"Ann", sms));
}

TEST(ConditionTest, EqualTailMatchesTheNormalizedNumberOrTheBody) {
  const IncomingSms sms = From(u"\"Ann\" <+86 1-234>", u"ok, bye");
  EXPECT_TRUE(Holds(OBJECT_PHONE_NUMBER, JUDGE_EQUAL, u"861234", sms)) << "digits only";
  EXPECT_TRUE(Holds(OBJECT_PHONE_NUMBER, JUDGE_EQUAL, u"1?34", sms));
  EXPECT_FALSE(Holds(OBJECT_PHONE_NUMBER, JUDGE_EQUAL, u"Ann", sms));
  EXPECT_FALSE(Holds(OBJECT_PHONE_NUMBER, JUDGE_EQUAL, u"1-234", sms));
  EXPECT_TRUE(Holds(OBJECT_PHONE_NUMBER, JUDGE_NOT_EQUAL, u"5555", sms));
  EXPECT_FALSE(Holds(OBJECT_PHONE_NUMBER, JUDGE_NOT_EQUAL, u"234", sms));

  EXPECT_TRUE(Holds(OBJECT_BODY, JUDGE_EQUAL, u"bye", sms));
  EXPECT_FALSE(Holds(OBJECT_BODY, JUDGE_EQUAL, u"bye", From(u"1", u"bye for now")))
      << "only containing it is not enough";
  EXPECT_TRUE(Holds(OBJECT_BODY, JUDGE_NOT_EQUAL, u"bye", From(u"1", u"bye for now")));
  // The body is not normalized: blanks and hyphens count.
  EXPECT_TRUE(Holds(OBJECT_BODY, JUDGE_EQUAL, u", bye", sms));
}

TEST(ConditionTest, UnknownValues) {
  const IncomingSms sms = From(u"1234", u"text");
  for (int32_t judge = JUDGE_INCLUDE; judge <= 9; ++judge) {
    EXPECT_FALSE(Holds(2, judge, u"", sms)) << "an unknown object fails, judge " << judge;
    EXPECT_FALSE(Holds(-1, judge, u"", sms));
  }
  EXPECT_TRUE(Holds(OBJECT_BODY, 4, u"absent", sms)) << "an unknown judge imposes nothing";
  EXPECT_TRUE(Holds(OBJECT_PHONE_NUMBER, -7, u"absent", sms));
}

// ---- Choosing the filter ---------------------------------------------------------------------

class MatchFilterTest : public ::testing::Test {
 protected:
  Filter& Add(std::u16string_view name) {
    auto filter = std::make_unique<Filter>();
    filter->name = std::u16string(name);
    rules_.filters.push_back(std::move(filter));
    return *rules_.filters.back();
  }
  std::u16string_view Chosen(std::u16string_view sender, std::u16string_view text = u"hi") {
    const Filter& chosen = MatchFilter(rules_, From(sender, text));
    if (&chosen == &rules_.contactDefault) return u"<contact>";
    if (&chosen == &rules_.strangerDefault) return u"<stranger>";
    return chosen.name;
  }
  RuleSet rules_;
};

TEST_F(MatchFilterTest, WithoutUserFiltersABracketMakesAContact) {
  EXPECT_EQ(Chosen(u"\"Ann\" <1234>"), u"<contact>");
  EXPECT_EQ(Chosen(u"Ann <"), u"<contact>");
  EXPECT_EQ(Chosen(u"+861234"), u"<stranger>");
  EXPECT_EQ(Chosen(u""), u"<stranger>");
}

TEST_F(MatchFilterTest, TheFirstEnabledFilterThatTakesTheMessageWins) {
  Filter& disabled = Add(u"disabled");
  disabled.enabled = 0;
  disabled.applyToAll = 1;
  Add(u"boss").conditions[0] = FilterCondition{OBJECT_PHONE_NUMBER, JUDGE_EQUAL, u"5555"};
  Add(u"bye").conditions[1] = FilterCondition{OBJECT_BODY, JUDGE_EQUAL, u"bye"};
  Add(u"also bye").conditions[0] = FilterCondition{OBJECT_BODY, JUDGE_INCLUDE, u"bye"};

  EXPECT_EQ(Chosen(u"+1 5555", u"bye"), u"boss");
  EXPECT_EQ(Chosen(u"1234", u"ok bye"), u"bye") << "Rule 2 alone also decides";
  EXPECT_EQ(Chosen(u"1234", u"bye now"), u"also bye");
  EXPECT_EQ(Chosen(u"1234", u"hello"), u"<stranger>") << "the disabled filter is skipped";
  EXPECT_EQ(Chosen(u"Ann <1234>", u"hello"), u"<contact>");
}

TEST_F(MatchFilterTest, BothConditionsMustHold) {
  Filter& both = Add(u"both");
  both.conditions[0] = FilterCondition{OBJECT_PHONE_NUMBER, JUDGE_INCLUDE, u"Ann"};
  both.conditions[1] = FilterCondition{OBJECT_BODY, JUDGE_EXCLUDE, u"urgent"};
  EXPECT_EQ(Chosen(u"Ann <1>", u"lunch?"), u"both");
  EXPECT_EQ(Chosen(u"Ann <1>", u"urgent: call"), u"<contact>");
  EXPECT_EQ(Chosen(u"Bob <1>", u"lunch?"), u"<contact>");
}

TEST_F(MatchFilterTest, ApplyToAllAndEmptyFiltersTakeEverything) {
  Filter& all = Add(u"all");
  all.applyToAll = 1;
  all.conditions[0] = FilterCondition{OBJECT_BODY, JUDGE_INCLUDE, u"never there"};
  EXPECT_EQ(Chosen(u"1"), u"all") << "conditions of an apply-to-all filter are not looked at";
  all.applyToAll = 0;
  Add(u"empty");
  EXPECT_EQ(Chosen(u"1"), u"empty");
}

TEST_F(MatchFilterTest, AFilterWithAnUnknownObjectNeverMatches) {
  Add(u"hand edited").conditions[0] = FilterCondition{5, JUDGE_EXCLUDE, u"x"};
  EXPECT_EQ(Chosen(u"1234"), u"<stranger>");
  EXPECT_EQ(Chosen(u"A <1234>"), u"<contact>");
}

TEST(IncomingSmsTest, FieldsWithoutTerminatorAreReadOnlyToTheirEnd) {
  const char16_t sender[4] = {u'1', u'2', u'3', u'4'};
  const char16_t text[6] = {u'h', u'i', u'\0', u'x', u'y', u'z'};
  const IncomingSms sms = IncomingSms::FromFields(sender, 4, text, 6);
  EXPECT_EQ(sms.sender, u"1234");
  EXPECT_EQ(sms.text, u"hi");
}

}  // namespace
}  // namespace brevalo
