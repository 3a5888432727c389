#include "device/system_time.h"

#include <cmath>
#include <ctime>

namespace brevalo {
namespace {

constexpr int64_t kTicksPerSecond = 10'000'000;
constexpr int64_t kSecondsPerDay = 86'400;
// Days from 1 January 1601 (the FILETIME epoch) to 1 January 1970 (the Unix epoch).
constexpr int64_t kDays1601To1970 = 134'774;
// Days from 30 December 1899 (day 0 of OLE dates) to 1 January 1970.
constexpr int64_t kDays1899To1970 = 25'569;
constexpr int64_t kMaxFileTime = 0x7FFF'FFFF'FFFF'FFFF;

// Days since 1970-01-01 of a proleptic Gregorian date (era/day-of-era arithmetic, exact for any year).
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

void CivilFromDays(int64_t z, int64_t* y, unsigned* m, unsigned* d) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  *d = doy - (153 * mp + 2) / 5 + 1;
  *m = mp < 10 ? mp + 3 : mp - 9;
  *y = static_cast<int64_t>(yoe) + era * 400 + (*m <= 2);
}

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

bool ValidDate(int y, int m, int d, int minYear, int maxYear) {
  return y >= minYear && y <= maxYear && m >= 1 && m <= 12 && d >= 1 && d <= DaysInMonth(y, m);
}

bool ValidClock(const SYSTEMTIME& t) {
  return t.wHour < 24 && t.wMinute < 60 && t.wSecond < 60 && t.wMilliseconds < 1000;
}

unsigned DayOfWeek(int64_t daysSince1970) {
  // 1 January 1970 was a Thursday (4).
  return static_cast<unsigned>(((daysSince1970 % 7) + 7 + 4) % 7);
}

SYSTEMTIME FromDaysAndMillis(int64_t daysSince1970, int64_t millisOfDay) {
  int64_t y;
  unsigned m, d;
  CivilFromDays(daysSince1970, &y, &m, &d);
  SYSTEMTIME t{};
  t.wYear = static_cast<uint16_t>(y);
  t.wMonth = static_cast<uint16_t>(m);
  t.wDay = static_cast<uint16_t>(d);
  t.wDayOfWeek = static_cast<uint16_t>(DayOfWeek(daysSince1970));
  t.wHour = static_cast<uint16_t>(millisOfDay / 3'600'000);
  t.wMinute = static_cast<uint16_t>(millisOfDay / 60'000 % 60);
  t.wSecond = static_cast<uint16_t>(millisOfDay / 1000 % 60);
  t.wMilliseconds = static_cast<uint16_t>(millisOfDay % 1000);
  return t;
}

int64_t Ticks(const FILETIME& f) {
  return static_cast<int64_t>((static_cast<uint64_t>(f.dwHighDateTime) << 32) | f.dwLowDateTime);
}

FILETIME FromTicks(int64_t ticks) {
  const uint64_t u = static_cast<uint64_t>(ticks);
  return FILETIME{static_cast<uint32_t>(u & 0xFFFF'FFFF), static_cast<uint32_t>(u >> 32)};
}

// The host zone's offset from UTC, in seconds, at the given UTC instant.
bool UtcOffsetAt(time_t utc, int64_t* offset) {
  std::tm local{};
  if (localtime_r(&utc, &local) == nullptr) return false;
  *offset = local.tm_gmtoff;
  return true;
}

SYSTEMTIME FromTimespec(const timespec& now, bool local) {
  int64_t seconds = now.tv_sec;
  int64_t offset = 0;
  if (local && UtcOffsetAt(now.tv_sec, &offset)) seconds += offset;
  int64_t days = seconds >= 0 ? seconds / kSecondsPerDay : (seconds - kSecondsPerDay + 1) / kSecondsPerDay;
  int64_t millis = (seconds - days * kSecondsPerDay) * 1000 + now.tv_nsec / 1'000'000;
  return FromDaysAndMillis(days, millis);
}

time_t UnixSeconds(int64_t ticks) {
  return static_cast<time_t>(ticks / kTicksPerSecond - kDays1601To1970 * kSecondsPerDay);
}

// ticks moved by offsetSeconds; false (out untouched) when that leaves the FILETIME range.
bool ShiftFileTime(int64_t ticks, int64_t offsetSeconds, FILETIME* out) {
  int64_t shifted = ticks + offsetSeconds * kTicksPerSecond;
  if (shifted < 0 || shifted > kMaxFileTime) return false;
  *out = FromTicks(shifted);
  return true;
}

timespec Now() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return now;
}

}  // namespace

SYSTEMTIME GetLocalTime() { return FromTimespec(Now(), true); }
SYSTEMTIME GetSystemTime() { return FromTimespec(Now(), false); }

FILETIME GetSystemTimeAsFileTime() {
  timespec now = Now();
  int64_t ticks = (static_cast<int64_t>(now.tv_sec) + kDays1601To1970 * kSecondsPerDay) *
                      kTicksPerSecond + now.tv_nsec / 100;
  return FromTicks(ticks);
}

bool SystemTimeToFileTime(const SYSTEMTIME& in, FILETIME* out) {
  if (!ValidDate(in.wYear, in.wMonth, in.wDay, 1601, 30827) || !ValidClock(in)) return false;
  int64_t days = DaysFromCivil(in.wYear, in.wMonth, in.wDay) + kDays1601To1970;
  int64_t millis = ((in.wHour * 60 + in.wMinute) * 60 + in.wSecond) * 1000LL + in.wMilliseconds;
  *out = FromTicks(days * kSecondsPerDay * kTicksPerSecond + millis * 10'000);
  return true;
}

bool FileTimeToSystemTime(const FILETIME& in, SYSTEMTIME* out) {
  int64_t ticks = Ticks(in);
  if (ticks < 0) return false;
  int64_t millis = ticks / 10'000;
  int64_t days = millis / (kSecondsPerDay * 1000);
  *out = FromDaysAndMillis(days - kDays1601To1970, millis % (kSecondsPerDay * 1000));
  return true;
}

bool FileTimeToLocalFileTime(const FILETIME& utc, FILETIME* local) {
  int64_t ticks = Ticks(utc);
  int64_t offset = 0;
  return ticks >= 0 && UtcOffsetAt(UnixSeconds(ticks), &offset) &&
         ShiftFileTime(ticks, offset, local);
}

bool LocalFileTimeToFileTime(const FILETIME& local, FILETIME* utc) {
  int64_t ticks = Ticks(local);
  // The offset depends on the UTC instant we are looking for; the offset at "local taken as
  // UTC" corrected once is exact everywhere except inside the hour a clock change skips.
  int64_t offset = 0;
  return ticks >= 0 && UtcOffsetAt(UnixSeconds(ticks), &offset) &&
         UtcOffsetAt(UnixSeconds(ticks) - offset, &offset) && ShiftFileTime(ticks, -offset, utc);
}

bool SystemTimeToVariantTime(const SYSTEMTIME& in, DATE* out) {
  if (!ValidDate(in.wYear, in.wMonth, in.wDay, 100, 9999) || !ValidClock(in)) return false;
  int64_t day = DaysFromCivil(in.wYear, in.wMonth, in.wDay) + kDays1899To1970;
  double fraction = ((in.wHour * 60 + in.wMinute) * 60 + in.wSecond) / double(kSecondsPerDay);
  // Before day 0 the whole part counts backwards but the fraction still counts forwards from
  // midnight, so -1.25 is 29 December 1899, 06:00.
  *out = day >= 0 ? static_cast<double>(day) + fraction : static_cast<double>(day) - fraction;
  return true;
}

bool VariantTimeToSystemTime(DATE in, SYSTEMTIME* out) {
  // 1 January 100 and 31 December 9999, the range of OLE dates.
  if (!std::isfinite(in) || in < -657434.0 || in >= 2958466.0) return false;
  double whole = std::trunc(in);
  int64_t seconds = std::llround(std::fabs(in - whole) * kSecondsPerDay);
  int64_t day = static_cast<int64_t>(whole);
  if (seconds >= kSecondsPerDay) {
    // Rounding reached the next midnight: that is the next day in the direction of the sign.
    seconds = 0;
    day += in >= 0 ? 1 : -1;
  }
  if (day >= 2958466) return false;
  *out = FromDaysAndMillis(day - kDays1899To1970, seconds * 1000);
  return true;
}

DATE CurrentOleDate() {
  SYSTEMTIME now = GetLocalTime();
  DATE date = 0;
  SystemTimeToVariantTime(now, &date);
  return date;
}

bool UtcFileTimeToOleDate(const FILETIME& utc, DATE* local) {
  FILETIME localFile;
  SYSTEMTIME parts;
  return FileTimeToLocalFileTime(utc, &localFile) && FileTimeToSystemTime(localFile, &parts) &&
         SystemTimeToVariantTime(parts, local);
}

namespace {
// FILETIME ticks (100 ns since 1601) at 1970-01-01 UTC.
constexpr int64_t kUnixEpochTicks = 116444736000000000;
constexpr int64_t kTicksPerMillisecond = 10000;
}  // namespace

bool OleDateToUnixMilliseconds(DATE local, int64_t* out) {
  SYSTEMTIME parts;
  FILETIME localFile;
  FILETIME utc;
  if (!VariantTimeToSystemTime(local, &parts) || !SystemTimeToFileTime(parts, &localFile) ||
      !LocalFileTimeToFileTime(localFile, &utc)) {
    return false;
  }
  const int64_t ticks = Ticks(utc);
  *out = (ticks - kUnixEpochTicks) / kTicksPerMillisecond;
  return true;
}

bool UnixMillisecondsToOleDate(int64_t milliseconds, DATE* local) {
  // Outside the years 1601..30827 the phone's time types hold nothing.
  constexpr int64_t kLatest = 910670428800000;  // 30827-12-31 00:00 UTC
  if (milliseconds < -kUnixEpochTicks / kTicksPerMillisecond || milliseconds > kLatest) return false;
  return UtcFileTimeToOleDate(FromTicks(milliseconds * kTicksPerMillisecond + kUnixEpochTicks),
                              local);
}

bool OleDateToTm(DATE date, std::tm* out) {
  SYSTEMTIME t;
  if (!VariantTimeToSystemTime(date, &t)) return false;
  std::tm tm{};
  tm.tm_year = t.wYear - 1900;
  tm.tm_mon = t.wMonth - 1;
  tm.tm_mday = t.wDay;
  tm.tm_hour = t.wHour;
  tm.tm_min = t.wMinute;
  tm.tm_sec = t.wSecond;
  tm.tm_wday = t.wDayOfWeek;
  tm.tm_yday = static_cast<int>(DaysFromCivil(t.wYear, t.wMonth, t.wDay) -
                                DaysFromCivil(t.wYear, 1, 1));
  tm.tm_isdst = -1;
  *out = tm;
  return true;
}

bool TmToOleDate(const std::tm& in, DATE* out) {
  SYSTEMTIME t{};
  if (in.tm_year < 100 - 1900 || in.tm_year > 9999 - 1900 || in.tm_mon < 0 || in.tm_mon > 11 ||
      in.tm_mday < 1 || in.tm_mday > 31 || in.tm_hour < 0 || in.tm_min < 0 || in.tm_sec < 0) {
    return false;
  }
  t.wYear = static_cast<uint16_t>(in.tm_year + 1900);
  t.wMonth = static_cast<uint16_t>(in.tm_mon + 1);
  t.wDay = static_cast<uint16_t>(in.tm_mday);
  t.wHour = static_cast<uint16_t>(in.tm_hour);
  t.wMinute = static_cast<uint16_t>(in.tm_min);
  t.wSecond = static_cast<uint16_t>(in.tm_sec);
  return SystemTimeToVariantTime(t, out);
}

}  // namespace brevalo
