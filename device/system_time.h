// The phone's time types: SYSTEMTIME, FILETIME (100 ns ticks since 1601, UTC) and OLE automation
// dates (days since 30 December 1899, local time, as doubles). Local time is the host's zone.
#pragma once

#include <cstdint>
#include <ctime>

namespace brevalo {

struct SYSTEMTIME {
  uint16_t wYear;
  uint16_t wMonth;
  uint16_t wDayOfWeek;
  uint16_t wDay;
  uint16_t wHour;
  uint16_t wMinute;
  uint16_t wSecond;
  uint16_t wMilliseconds;
};

struct FILETIME {
  uint32_t dwLowDateTime;
  uint32_t dwHighDateTime;
};

using DATE = double;

SYSTEMTIME GetLocalTime();
SYSTEMTIME GetSystemTime();  // UTC
FILETIME GetSystemTimeAsFileTime();

// Each returns false (and leaves the output alone) for values out of range.
bool SystemTimeToFileTime(const SYSTEMTIME& in, FILETIME* out);
bool FileTimeToSystemTime(const FILETIME& in, SYSTEMTIME* out);
bool FileTimeToLocalFileTime(const FILETIME& utc, FILETIME* local);
bool LocalFileTimeToFileTime(const FILETIME& local, FILETIME* utc);
bool SystemTimeToVariantTime(const SYSTEMTIME& in, DATE* out);
bool VariantTimeToSystemTime(DATE in, SYSTEMTIME* out);

// Conveniences built on the above.
DATE CurrentOleDate();                        // now, local time
bool UtcFileTimeToOleDate(const FILETIME& utc, DATE* local);
bool OleDateToTm(DATE date, std::tm* out);    // local broken-down time, for formatting
bool TmToOleDate(const std::tm& in, DATE* out);
// Milliseconds since 1970-01-01 UTC, the clock of other phones' backups, and back to a local
// OLE date. False for moments the phone's types cannot hold (before 1601, after 30827).
bool OleDateToUnixMilliseconds(DATE local, int64_t* out);
bool UnixMillisecondsToOleDate(int64_t milliseconds, DATE* local);

}  // namespace brevalo
