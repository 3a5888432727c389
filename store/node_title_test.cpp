#include "store/node_title.h"

#include <gtest/gtest.h>

namespace brevalo {
namespace {

TEST(NodeTitleTest, ContactTakesTheQuotedNameOrTheNumberOfTheFirstEntry) {
  struct Case {
    const char* name;
    std::u16string contact;
    std::u16string shown;
  } cases[] = {
      {"bare number", u"5550100", u"5550100 "},
      {"punctuation dropped", u"(555) 010-0", u"555 0100 "},
      {"quoted name wins", u"\"Ann Lee\" <5550100>", u"Ann Lee "},
      {"first entry only", u"\"Ann\" <1>;\"Bob\" <2>", u"Ann "},
      {"angle bracket drops what came before", u"junk<5550100>", u"5550100 "},
      {"unclosed quote is no name", u"\"Ann", u" "},
      {"empty", u"", u" "},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseTitleContact(c.contact).Shown(), c.shown) << c.name;
  }
}

TEST(NodeTitleTest, ModesBuildSummaryContactSummaryAndContactTime) {
  std::u16string body = u"Meet at eight\nand bring the report";
  EXPECT_EQ(BuildTitle(u"5550100", body, u"12/8/2026 9:30:00 AM", kTitleSummary, 10), u"Meet at ei");
  EXPECT_EQ(BuildTitle(u"5550100", body, u"", kTitleSummary, 40), u"Meet at eight")
      << "a summary stops at the line end";
  EXPECT_EQ(BuildTitle(u"\"Ann\" <5550100>", u"Hi\tthere", u"", kTitleContactSummary, 10), u"Ann Hi");
  EXPECT_EQ(BuildTitle(u"5550100", body, u"12/8/2026 9:30:00 AM", kTitleContactTime, 10),
            u"5550100 12/8/2026 9:30:00 AM");
  EXPECT_EQ(BuildTitle(u"5550100", body, u"x", 3, 10), u"") << "an unknown mode";
  EXPECT_EQ(BuildTitle(u"5550100", body, u"x", kTitleSummary, 0), u"");
}

TEST(NodeTitleTest, LongPartsAreCutToTheirBounds) {
  std::u16string time(60, u't');
  EXPECT_EQ(BuildTitle(u"1", u"", time, kTitleContactTime, 0), u"1 " + std::u16string(40, u't'));
  std::u16string contact = u"\"" + std::u16string(300, u'n') + u"\"";
  EXPECT_EQ(BuildTitle(contact, u"body", u"", kTitleContactSummary, 10).size(), kTitleCapacity);
}

}  // namespace
}  // namespace brevalo
