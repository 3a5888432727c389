// How kvt shows things: ISO 8601 dates, image names, and the one place that prints.
#pragma once

#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "device/system_time.h"

namespace brevalo {

// "2026-12-08T23:59:01" (local time, as stored); "" for a date out of range.
std::string IsoDate(DATE date);
// Local ISO 8601 text ("2026-12-08T23:59[:01]" or with a blank for the T) as a date.
bool ParseIsoDate(std::string_view text, DATE* date);
const char* ImageName(int image);

// "1 message", "2 messages".
std::string Counted(size_t count, std::string_view noun);

void PrintJson(const nlohmann::json& value);
void PrintLine(std::string_view line);
// "kvt: message" on stderr; returns the exit code for damage and unreadable files.
int Fail(std::string_view message);
void Warn(std::string_view message);

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

}  // namespace brevalo
