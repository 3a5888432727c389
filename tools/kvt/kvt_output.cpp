#include "tools/kvt/kvt_output.h"

#include <cstdio>
#include <iostream>

namespace brevalo {

std::string IsoDate(DATE date) {
  std::tm t;
  if (!OleDateToTm(date, &t)) return "";
  char text[80];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", t.tm_year + 1900,
                t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec);
  return text;
}

bool ParseIsoDate(std::string_view text, DATE* date) {
  int year, month, day, hour = 0, minute = 0, second = 0;
  char separator = 'T';
  int consumed = 0;
  std::string copy(text);
  int fields = std::sscanf(copy.c_str(), "%4d-%2d-%2d%c%2d:%2d%n", &year, &month, &day,
                           &separator, &hour, &minute, &consumed);
  if (fields == 3 && copy.size() == 10) {
    consumed = 10;
  } else if (fields != 6 || (separator != 'T' && separator != ' ')) {
    return false;
  }
  if (static_cast<size_t>(consumed) < copy.size()) {
    int more = 0;
    if (std::sscanf(copy.c_str() + consumed, ":%2d%n", &second, &more) != 1 ||
        static_cast<size_t>(consumed + more) != copy.size()) {
      return false;
    }
  }
  SYSTEMTIME t{};
  t.wYear = static_cast<uint16_t>(year);
  t.wMonth = static_cast<uint16_t>(month);
  t.wDay = static_cast<uint16_t>(day);
  t.wHour = static_cast<uint16_t>(hour);
  t.wMinute = static_cast<uint16_t>(minute);
  t.wSecond = static_cast<uint16_t>(second);
  if (year < 0 || month < 0 || day < 0 || hour < 0 || minute < 0 || second < 0) return false;
  return SystemTimeToVariantTime(t, date);
}

const char* ImageName(int image) {
  switch (image) {
    case 1: return "folder";
    case 2: return "read message";
    case 3: return "unread message";
    case 4: return "recycle bin, empty";
    case 5: return "recycle bin with content";
    default: return "unknown image";
  }
}

void PrintJson(const nlohmann::json& value) {
  // Labels read from a damaged file may hold anything; never let the dump abort on them.
  std::cout << value.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
}

void PrintLine(std::string_view line) { std::cout << line << '\n'; }

int Fail(std::string_view message) {
  std::cout.flush();
  std::cerr << "kvt: " << message << '\n';
  return kExitFailure;
}

void Warn(std::string_view message) { std::cerr << "kvt: warning: " << message << '\n'; }

std::string Counted(size_t count, std::string_view noun) {
  return std::to_string(count) + " " + std::string(noun) + (count == 1 ? "" : "s");
}

}  // namespace brevalo
