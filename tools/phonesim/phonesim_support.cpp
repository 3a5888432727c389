#include "tools/phonesim/phonesim_support.h"

#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <iostream>
#include <system_error>

#include "device/system_time.h"
#include "tools/phonesim/phonesim_command.h"

namespace brevalo {
namespace {

constexpr uint64_t kTicksPerSecond = 10'000'000;
// Seconds between 1601-01-01 and 1970-01-01.
constexpr int64_t kEpochShiftSeconds = 11'644'473'600;

bool Digits(std::string_view text, size_t pos, size_t count, int* out) {
  if (pos + count > text.size()) return false;
  int value = 0;
  for (size_t i = pos; i < pos + count; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    value = value * 10 + (text[i] - '0');
  }
  *out = value;
  return true;
}

}  // namespace

void PrintJson(const nlohmann::json& value) {
  std::cout << value.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
}

std::string IsoTimeText(uint64_t ticks) {
  std::time_t seconds = static_cast<std::time_t>(static_cast<int64_t>(ticks / kTicksPerSecond) -
                                                 kEpochShiftSeconds);
  unsigned millis = static_cast<unsigned>(ticks % kTicksPerSecond / 10'000);
  std::tm utc{};
  if (gmtime_r(&seconds, &utc) == nullptr) return "";
  char text[40];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &utc);
  std::string out = text;
  if (millis != 0) {
    std::snprintf(text, sizeof text, ".%03u", millis);
    out += text;
  }
  return out + "Z";
}

std::optional<uint64_t> ParseIsoTime(std::string_view text) {
  std::tm when{};
  int year, month, day, hour = 0, minute = 0, second = 0, millis = 0;
  if (!Digits(text, 0, 4, &year) || text.size() < 10 || text[4] != '-' ||
      !Digits(text, 5, 2, &month) || text[7] != '-' || !Digits(text, 8, 2, &day)) {
    return std::nullopt;
  }
  size_t pos = 10;
  if (pos < text.size()) {
    if ((text[pos] != 'T' && text[pos] != ' ') || !Digits(text, pos + 1, 2, &hour) ||
        pos + 3 >= text.size() || text[pos + 3] != ':' || !Digits(text, pos + 4, 2, &minute)) {
      return std::nullopt;
    }
    pos += 6;
    if (pos < text.size() && text[pos] == ':') {
      if (!Digits(text, pos + 1, 2, &second)) return std::nullopt;
      pos += 3;
      if (pos < text.size() && text[pos] == '.') {
        if (!Digits(text, pos + 1, 3, &millis)) return std::nullopt;
        pos += 4;
      }
    }
  }
  if (month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 || second > 60 ||
      year < 1601) {
    return std::nullopt;
  }
  when.tm_year = year - 1900;
  when.tm_mon = month - 1;
  when.tm_mday = day;
  when.tm_hour = hour;
  when.tm_min = minute;
  when.tm_sec = second;
  std::string_view zone = text.substr(pos);
  int64_t seconds;
  if (zone.empty()) {
    when.tm_isdst = -1;
    seconds = static_cast<int64_t>(std::mktime(&when));
  } else {
    int zoneHours = 0, zoneMinutes = 0;
    if (zone == "Z") {
      // UTC as written
    } else if (zone.size() == 6 && (zone[0] == '+' || zone[0] == '-') &&
               Digits(zone, 1, 2, &zoneHours) && zone[3] == ':' && Digits(zone, 4, 2, &zoneMinutes)) {
      // handled below
    } else {
      return std::nullopt;
    }
    int64_t offset = (zoneHours * 60 + zoneMinutes) * 60 * (zone[0] == '-' ? -1 : 1);
    seconds = static_cast<int64_t>(timegm(&when)) - (zone == "Z" ? 0 : offset);
  }
  if (seconds + kEpochShiftSeconds < 0) return std::nullopt;
  return static_cast<uint64_t>(seconds + kEpochShiftSeconds) * kTicksPerSecond +
         static_cast<uint64_t>(millis) * 10'000;
}

uint64_t NowTicks() {
  FILETIME now = GetSystemTimeAsFileTime();
  return (uint64_t{now.dwHighDateTime} << 32) | now.dwLowDateTime;
}

std::filesystem::path BuiltLibraryDir() {
  std::error_code error;
  std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  return self.parent_path().parent_path() / "lib";
}

bool DeviceExists(const std::filesystem::path& dir) {
  std::error_code error;
  return std::filesystem::exists(dir / "registry.reg", error) &&
         std::filesystem::is_directory(dir / "fs", error);
}

}  // namespace brevalo

namespace brevalo {

bool RequireDevice(const std::filesystem::path& dir) {
  if (DeviceExists(dir)) return true;
  PhonesimFail(dir.string() + " holds no device (phonesim init makes one)");
  return false;
}

}  // namespace brevalo
