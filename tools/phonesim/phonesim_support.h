// Helpers that several phonesim command groups share: printing JSON, device times as ISO 8601
// text, and where the built programs and libraries live.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace brevalo {

// One JSON document on stdout, indented, invalid UTF-8 replaced.
void PrintJson(const nlohmann::json& value);

// "2026-12-09T01:02:03Z" for UTC FILETIME ticks (milliseconds shown when there are any).
std::string IsoTimeText(uint64_t ticks);
// "YYYY-MM-DDTHH:MM[:SS[.fff]]" followed by "Z", "+HH:MM", "-HH:MM" or nothing (local time), or
// a "YYYY-MM-DD" date alone (local midnight); nothing for anything else.
std::optional<uint64_t> ParseIsoTime(std::string_view text);
uint64_t NowTicks();

// build/lib, next to the folder of the running phonesim (build/bin).
std::filesystem::path BuiltLibraryDir();

// True when the folder holds a device made by init.
bool DeviceExists(const std::filesystem::path& dir);
// DeviceExists, else false after saying so on stderr.
bool RequireDevice(const std::filesystem::path& dir);

}  // namespace brevalo
