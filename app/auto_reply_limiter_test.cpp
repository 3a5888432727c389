#include "app/auto_reply_limiter.h"

#include <gtest/gtest.h>

namespace brevalo {
namespace {

TEST(AutoReplyLimiterTest, OneReplyToANumberWithinTheWindow) {
  AutoReplyLimiter limiter;
  const int64_t t = 1'000'000;
  EXPECT_TRUE(limiter.Allow(u"\"Ann\"<555-0102>", t, 60));
  EXPECT_FALSE(limiter.Allow(u"5550102", t + 60, 60)) << "the same number, written otherwise";
  EXPECT_FALSE(limiter.Allow(u"555 0102", t + 59 * 60 + 59, 60));
  EXPECT_TRUE(limiter.Allow(u"5550103", t + 60, 60)) << "another number has its own window";
  EXPECT_TRUE(limiter.Allow(u"5550102", t + 60 * 60, 60)) << "the window is over";
  EXPECT_FALSE(limiter.Allow(u"5550102", t + 60 * 60 + 1, 60)) << "and a new one began";
}

TEST(AutoReplyLimiterTest, AWindowOfZeroAllowsEveryReplyAndAClockSetBackDoesNotSilenceIt) {
  AutoReplyLimiter limiter;
  EXPECT_TRUE(limiter.Allow(u"5550102", 100, 0));
  EXPECT_TRUE(limiter.Allow(u"5550102", 100, 0));
  EXPECT_TRUE(limiter.Allow(u"5550102", 5000, 60));
  EXPECT_TRUE(limiter.Allow(u"5550102", 1000, 60)) << "the clock went back: not for an hour";
}

}  // namespace
}  // namespace brevalo
