#include "send/recipients.h"

#include <gtest/gtest.h>

#include "send/sent_notifier.h"

namespace brevalo {
namespace {

TEST(RecipientsTest, DisplayNameIsTheQuotedNameElseTheNumber) {
  RecipientName named = RecipientDisplayName(u"\"Ann (Work)\" <+49 (30) 12-34>;5550100");
  EXPECT_EQ(named.name, u"AnnWork");
  EXPECT_EQ(named.number, u"+49301234");
  EXPECT_TRUE(named.quoted);

  RecipientName bare = RecipientDisplayName(u"(555) 01-00;\"Bob\"<1>");
  EXPECT_EQ(bare.name, u"5550100");
  EXPECT_EQ(bare.number, u"5550100");
  EXPECT_FALSE(bare.quoted);

  EXPECT_TRUE(RecipientDisplayName(u"").name.empty());
}

TEST(RecipientsTest, TheFirstQuoteStartsTheNameAfreshAndTextAfterItsCloseIsNotName) {
  RecipientName name = RecipientDisplayName(u"x\"Ann\"y<12>z");
  EXPECT_EQ(name.name, u"Ann");
  EXPECT_EQ(name.number, u"12") << "reading ends at >";
  // Without "<" whatever stood outside the quotes makes the number.
  EXPECT_EQ(RecipientDisplayName(u"12\"Ann\"34").number, u"1234");
}

TEST(RecipientsTest, EntriesReadBackToTheirNameAndNumber) {
  std::u16string list = RecipientEntry(u"Ann", u"5550100") + RecipientEntry(u"Bob", u"1");
  EXPECT_EQ(list, u";\"Ann\"<5550100>;\"Bob\"<1>");
  RecipientName first = RecipientDisplayName(std::u16string_view(list).substr(1));
  EXPECT_EQ(first.name, u"Ann");
  EXPECT_EQ(first.number, u"5550100");
}

TEST(RecipientsTest, SentPopupNamesTheFirstRecipientWithoutBlanksOrBrackets) {
  EXPECT_EQ(SentPopupText(u"\"Ann Lee\"<555 01>;\"Bob\"<1>", true), u"Send to AnnLee Successfully!");
  EXPECT_EQ(SentPopupText(u"(555) 01-00;7", false), u"Send to 5550100 Fail!");
}

}  // namespace
}  // namespace brevalo
