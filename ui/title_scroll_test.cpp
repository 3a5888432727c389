#include "ui/title_scroll.h"

#include <gtest/gtest.h>

namespace brevalo {
namespace {

TEST(TitleScrollTest, ALongTitleWaitsGlidesToItsEndWaitsAndStartsOver) {
  TitleScroll scroll;
  const int overflow = 80;  // two seconds of travel
  EXPECT_EQ(scroll.Offset(overflow), 0);
  scroll.Advance(TitleScroll::kHoldMs - 1);
  EXPECT_EQ(scroll.Offset(overflow), 0) << "still waiting at the start";
  scroll.Advance(1 + 1000);
  EXPECT_EQ(scroll.Offset(overflow), 40) << "half way after one second";
  scroll.Advance(1000);
  EXPECT_EQ(scroll.Offset(overflow), overflow) << "at the end, the last characters shown";
  scroll.Advance(TitleScroll::kHoldMs - 1);
  EXPECT_EQ(scroll.Offset(overflow), overflow) << "waiting at the end";
  scroll.Advance(1);
  EXPECT_EQ(scroll.Offset(overflow), 0) << "and over again";
  scroll.Advance(TitleScroll::kHoldMs + 500);
  scroll.Restart();
  EXPECT_EQ(scroll.Offset(overflow), 0) << "a newly selected row starts at its beginning";
}

TEST(TitleScrollTest, ATitleThatFitsNeverMoves) {
  TitleScroll scroll;
  for (int i = 0; i < 100; ++i) {
    scroll.Advance(TitleScroll::kTickMs);
    EXPECT_EQ(scroll.Offset(0), 0);
    EXPECT_EQ(scroll.Offset(-30), 0);
  }
}

}  // namespace
}  // namespace brevalo
