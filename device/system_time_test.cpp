#include "device/system_time.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace brevalo {
namespace {

SYSTEMTIME Make(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
  SYSTEMTIME t{};
  t.wYear = static_cast<uint16_t>(y);
  t.wMonth = static_cast<uint16_t>(mo);
  t.wDay = static_cast<uint16_t>(d);
  t.wHour = static_cast<uint16_t>(h);
  t.wMinute = static_cast<uint16_t>(mi);
  t.wSecond = static_cast<uint16_t>(s);
  t.wMilliseconds = static_cast<uint16_t>(ms);
  return t;
}

uint64_t Ticks(const FILETIME& f) {
  return (static_cast<uint64_t>(f.dwHighDateTime) << 32) | f.dwLowDateTime;
}

void ExpectSame(const SYSTEMTIME& a, const SYSTEMTIME& b) {
  EXPECT_EQ(a.wYear, b.wYear);
  EXPECT_EQ(a.wMonth, b.wMonth);
  EXPECT_EQ(a.wDay, b.wDay);
  EXPECT_EQ(a.wHour, b.wHour);
  EXPECT_EQ(a.wMinute, b.wMinute);
  EXPECT_EQ(a.wSecond, b.wSecond);
  EXPECT_EQ(a.wMilliseconds, b.wMilliseconds);
}

// Sets the host zone for one test and puts the old one back.
class ZoneTest : public ::testing::Test {
 protected:
  void Use(const char* zone) {
    setenv("TZ", zone, 1);
    tzset();
  }
  void SetUp() override {
    const char* old = std::getenv("TZ");
    hadZone_ = old != nullptr;
    if (old) oldZone_ = old;
  }
  void TearDown() override {
    if (hadZone_) setenv("TZ", oldZone_.c_str(), 1); else unsetenv("TZ");
    tzset();
  }

 private:
  bool hadZone_ = false;
  std::string oldZone_;
};

TEST(SystemTimeTest, FileTimesCountFrom1601) {
  FILETIME f;
  ASSERT_TRUE(SystemTimeToFileTime(Make(1970, 1, 1), &f));
  EXPECT_EQ(Ticks(f), 116444736000000000ull);
  ASSERT_TRUE(SystemTimeToFileTime(Make(1601, 1, 1), &f));
  EXPECT_EQ(Ticks(f), 0u);

  SYSTEMTIME back;
  ASSERT_TRUE(SystemTimeToFileTime(Make(2026, 12, 8, 23, 59, 58, 999), &f));
  ASSERT_TRUE(FileTimeToSystemTime(f, &back));
  ExpectSame(back, Make(2026, 12, 8, 23, 59, 58, 999));
  EXPECT_EQ(back.wDayOfWeek, 2);  // a Tuesday
  ASSERT_TRUE(SystemTimeToFileTime(Make(2024, 2, 29, 12), &f));
  ASSERT_TRUE(FileTimeToSystemTime(f, &back));
  ExpectSame(back, Make(2024, 2, 29, 12));
}

TEST(SystemTimeTest, ImpossibleTimesAreRefusedAndLeaveTheOutputAlone) {
  FILETIME f{7, 7};
  EXPECT_FALSE(SystemTimeToFileTime(Make(2023, 2, 29), &f));
  EXPECT_FALSE(SystemTimeToFileTime(Make(2023, 13, 1), &f));
  EXPECT_FALSE(SystemTimeToFileTime(Make(2023, 1, 1, 24), &f));
  EXPECT_FALSE(SystemTimeToFileTime(Make(1600, 12, 31), &f));
  EXPECT_EQ(f.dwLowDateTime, 7u);
  SYSTEMTIME t = Make(1, 1, 1);
  EXPECT_FALSE(FileTimeToSystemTime(FILETIME{0, 0x80000000u}, &t));
  DATE d = 5;
  EXPECT_FALSE(SystemTimeToVariantTime(Make(99, 12, 31), &d));
  EXPECT_FALSE(VariantTimeToSystemTime(std::numeric_limits<double>::quiet_NaN(), &t));
  EXPECT_FALSE(VariantTimeToSystemTime(1e12, &t));
  EXPECT_EQ(d, 5);
  EXPECT_EQ(t.wYear, 1);
}

TEST(SystemTimeTest, OleDatesCountDaysFrom30December1899) {
  struct Case {
    SYSTEMTIME time;
    double date;
  };
  const Case cases[] = {
      {Make(1899, 12, 30), 0.0},
      {Make(1900, 1, 1), 2.0},
      {Make(2000, 1, 1, 12), 36526.5},
      {Make(1899, 12, 29, 6), -1.25},  // the fraction counts forward even before day 0
      {Make(1899, 12, 28, 18), -2.75},
      {Make(9999, 12, 31, 23, 59, 59), 2958465.0 + 86399.0 / 86400.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.date);
    DATE date;
    ASSERT_TRUE(SystemTimeToVariantTime(c.time, &date));
    EXPECT_DOUBLE_EQ(date, c.date);
    SYSTEMTIME back;
    ASSERT_TRUE(VariantTimeToSystemTime(c.date, &back));
    ExpectSame(back, c.time);
  }
}

TEST(SystemTimeTest, OleDatesRoundToTheSecondAndCarryIntoTheNextDay) {
  SYSTEMTIME t;
  ASSERT_TRUE(VariantTimeToSystemTime(1.0 - 1e-9, &t));
  ExpectSame(t, Make(1899, 12, 31));
  std::tm tm;
  ASSERT_TRUE(OleDateToTm(36526.75, &tm));
  EXPECT_EQ(tm.tm_year, 100);
  EXPECT_EQ(tm.tm_hour, 18);
  EXPECT_EQ(tm.tm_wday, 6);
  DATE back;
  ASSERT_TRUE(TmToOleDate(tm, &back));
  EXPECT_DOUBLE_EQ(back, 36526.75);
}

TEST_F(ZoneTest, UtcAndLocalDifferByTheZoneAtThatInstant) {
  Use("EST5EDT,M3.2.0,M11.1.0");
  FILETIME winter, summer, local, utc;
  ASSERT_TRUE(SystemTimeToFileTime(Make(2026, 1, 15, 12), &winter));
  ASSERT_TRUE(SystemTimeToFileTime(Make(2026, 7, 15, 12), &summer));
  SYSTEMTIME t;
  ASSERT_TRUE(FileTimeToLocalFileTime(winter, &local) && FileTimeToSystemTime(local, &t));
  EXPECT_EQ(t.wHour, 7);
  ASSERT_TRUE(LocalFileTimeToFileTime(local, &utc));
  EXPECT_EQ(Ticks(utc), Ticks(winter));
  ASSERT_TRUE(FileTimeToLocalFileTime(summer, &local) && FileTimeToSystemTime(local, &t));
  EXPECT_EQ(t.wHour, 8);
  ASSERT_TRUE(LocalFileTimeToFileTime(local, &utc));
  EXPECT_EQ(Ticks(utc), Ticks(summer));

  DATE date;
  ASSERT_TRUE(UtcFileTimeToOleDate(summer, &date));
  EXPECT_DOUBLE_EQ(date, 46218.0 + 8.0 / 24.0);  // 15 July 2026, 08:00 local
}

TEST_F(ZoneTest, NowAgreesAcrossTheClocks) {
  Use("XST-8");
  SYSTEMTIME utc = GetSystemTime();
  SYSTEMTIME local = GetLocalTime();
  EXPECT_EQ((utc.wHour + 8) % 24, local.wHour);
  FILETIME now = GetSystemTimeAsFileTime();
  SYSTEMTIME fromFile;
  ASSERT_TRUE(FileTimeToSystemTime(now, &fromFile));
  EXPECT_EQ(fromFile.wYear, utc.wYear);
  DATE today = CurrentOleDate();
  DATE fromParts;
  ASSERT_TRUE(SystemTimeToVariantTime(local, &fromParts));
  EXPECT_NEAR(today, fromParts, 2.0 / 86400.0);
}

}  // namespace
}  // namespace brevalo
