// The compose window's text rules: what each opener puts into the fields, the Resend split of a
// stored sent message, the counter, the signature, picked recipients, the checks, the flags and
// the send time.
#include "send/compose_text.h"

#include <gtest/gtest.h>

#include "send/send_record.h"

namespace brevalo {
namespace {

const std::u16string kStored = u"Send To:\"Ann\"<5550101>;5550102\r\n--------------------\r\nSee you\r\nat noon";

TEST(ResendSplitTest, TakesTheRecipientsAndOnlyTheFirstLineOfTheText) {
  ComposeFields fields = ResendSplit(kStored);
  EXPECT_EQ(fields.recipients, u"\"Ann\"<5550101>;5550102");
  EXPECT_EQ(fields.body, u"See you");
}

TEST(ResendSplitTest, AnEqualsSignCutsTheBodyAndTextWithoutTheRuleIsTheBody) {
  EXPECT_EQ(ResendSplit(u"Send To:5550101\r\n--------------------\r\n1+1=2").body, u"1+1");
  // No "--": a received message, whole, with its line breaks.
  EXPECT_EQ(ResendSplit(u"Lunch?\r\nAt 12=noon").body, u"Lunch?\r\nAt 12=noon");
  EXPECT_EQ(ResendSplit(u"Lunch?").recipients, u"");
  // The rule alone, nothing after it; no ":" in the first piece gives no recipients.
  ComposeFields rule = ResendSplit(u"--------------------");
  EXPECT_EQ(rule.recipients, u"");
  EXPECT_EQ(rule.body, u"");
  ComposeFields noColon = ResendSplit(u"5550101\r\n----\r\n\r\nhello");
  EXPECT_EQ(noColon.recipients, u"");
  EXPECT_EQ(noColon.body, u"hello") << "empty pieces are skipped";
  ComposeFields nothing = ResendSplit(u"\r\n==--");
  EXPECT_EQ(nothing.body, u"");
}

TEST(ComposeFieldsTest, EachOpenerFillsItsField) {
  ComposeFields reply = FieldsFromMessage(ComposeMode::kReply, u"\"Bo\"<5550102>", u"Hi there");
  EXPECT_EQ(reply.recipients, u"\"Bo\"<5550102>");
  EXPECT_EQ(reply.body, u"");
  EXPECT_EQ(FieldsFromMessage(ComposeMode::kReply, std::u16string(300, u'5'), u"").recipients.size(), 260u);
  ComposeFields forward = FieldsFromMessage(ComposeMode::kNew, u"5550102", u"Hi there");
  EXPECT_EQ(forward.recipients, u"");
  EXPECT_EQ(forward.body, u"Hi there");
  ComposeFields resend = FieldsFromMessage(ComposeMode::kResend, u"", kStored);
  EXPECT_EQ(resend.body, u"See you");
  EXPECT_EQ(FieldsFromTexts(ComposeMode::kResend, kStored, u"ignored").recipients, u"\"Ann\"<5550101>;5550102");
  ComposeFields texts = FieldsFromTexts(ComposeMode::kReply, u"", u"5550101");
  EXPECT_EQ(texts.recipients, u"5550101");
}

TEST(CounterTextTest, LatinCountsAgainst160AndAnyCharacterAboveFFAgainst70) {
  EXPECT_EQ(CounterText(u""), u"0/160");
  EXPECT_EQ(CounterText(u"abcdefghij"), u"10/160");
  EXPECT_EQ(CounterText(u"abcdefghij中"), u"11/70");
  EXPECT_EQ(CounterText(u"caf\u00e9"), u"4/160") << "U+00E9 still fits the 160";
  EXPECT_EQ(CounterText(std::u16string(300, u'a')), u"259/160") << "at most 259 are counted";
  // A wide character past the counted ones does not change the capacity.
  EXPECT_EQ(CounterText(std::u16string(259, u'a') + u"中"), u"259/160");
}

TEST(ForwardTextTest, TheFirst140CharactersWithoutSplittingAPair) {
  EXPECT_EQ(ForwardText(std::u16string(300, u'x')).size(), 140u);
  EXPECT_EQ(ForwardText(u"short"), u"short");
  std::u16string pairAtTheEdge = std::u16string(139, u'x') + u"\U0001F600";
  EXPECT_EQ(ForwardText(pairAtTheEdge), std::u16string(139, u'x'));
}

TEST(SignatureTest, GoesAtTheEndWithTheCaretBeforeIt) {
  SignedBody body = AppendSignature(u"Hi", u" -- Ann");
  EXPECT_EQ(body.text, u"Hi -- Ann");
  EXPECT_EQ(body.caret, 2u);
  EXPECT_EQ(CounterText(body.text), u"9/160") << "the counter includes the signature";
}

TEST(PickedRecipientsTest, AnEmptyFieldDropsTheLeadingSeparatorAFilledOneKeepsIt) {
  EXPECT_EQ(AppendPicked(u"", u";\"Ann\"<5550101>;\"Bo\"<5550102>"), u"\"Ann\"<5550101>;\"Bo\"<5550102>");
  EXPECT_EQ(AppendPicked(u"5550100", u";\"Ann\"<5550101>"), u"5550100;\"Ann\"<5550101>");
  EXPECT_EQ(AppendPicked(u"5550100", u""), u"5550100");
  EXPECT_EQ(PickedForBody(u";\"Ann\"<5550101>"), u"\"Ann\"<5550101>");
}

TEST(ComposeRefusalTest, RecipientsAreCheckedBeforeTheBody) {
  EXPECT_EQ(ComposeRefusal(u"", u""), u"Phone Number can't be empty!");
  EXPECT_EQ(ComposeRefusal(u"", u"text"), u"Phone Number can't be empty!");
  EXPECT_EQ(ComposeRefusal(u"5550101", u""), u"Content can't be empty!");
  EXPECT_EQ(ComposeRefusal(u"5550101", u"text"), std::nullopt);
  EXPECT_EQ(ComposeSendFlags(true, true), SEND_FLASH | SEND_STATUS_REPORT);
  EXPECT_EQ(ComposeSendFlags(false, false), 0u);
}

TEST(SendTimeTest, WrittenAndReadBack) {
  SYSTEMTIME time{2026, 12, 3, 9, 7, 5, 30, 0};
  EXPECT_EQ(SendTimeText(time), u"2026-12-09 07:05");
  std::optional<SYSTEMTIME> read = ParseSendTime(u"2026-12-09 07:05");
  ASSERT_TRUE(read);
  EXPECT_EQ(read->wYear, 2026);
  EXPECT_EQ(read->wMonth, 12);
  EXPECT_EQ(read->wDay, 9);
  EXPECT_EQ(read->wHour, 7);
  EXPECT_EQ(read->wMinute, 5);
  EXPECT_EQ(read->wSecond, 0);
  EXPECT_EQ(read->wDayOfWeek, 3) << "9 December 2026 is a Wednesday";
  // The number keys type digits only.
  ASSERT_TRUE(ParseSendTime(u"202612090705"));
  EXPECT_EQ(ParseSendTime(u"202612090705")->wMinute, 5);
}

TEST(SendTimeTest, TimesThatDoNotExistOrAreMisWrittenAreRefused) {
  for (std::u16string_view bad : {u"2026-04-31 10:00", u"2026-02-29 10:00", u"2026-13-01 10:00",
                                  u"2026-12-09 24:00", u"2026-12-09 10:60", u"2026-12-09 10:0",
                                  u"2026/12/09 10:00", u"20261209 10:00x", u"", u"2026-12-0910:00"}) {
    EXPECT_EQ(ParseSendTime(bad), std::nullopt) << std::string(bad.begin(), bad.end());
  }
  EXPECT_TRUE(ParseSendTime(u"2028-02-29 23:59")) << "a leap day exists";
}

}  // namespace
}  // namespace brevalo
