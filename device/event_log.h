// The device's event log, DIR/log/events.jsonl: one JSON object a line, {"time": ISO 8601 UTC,
// "kind": ..., other fields}. Vibration, sounds, dialled calls, tray icons and debug output of
// libraries land here, from several processes at once.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "device/device_paths.h"

namespace brevalo {

class EventLog {
 public:
  // Told about every line the reader drops: its 1-based number, the line and why.
  using Reporter =
      std::function<void(size_t lineNumber, std::string_view line, std::string_view reason)>;

  explicit EventLog(const Device& device);

  const std::filesystem::path& File() const { return file_; }

  // Appends {"time", "kind", ...fields} as one line with one write, so that lines of
  // concurrent writers never interleave. Fields named "time" or "kind" are overridden; fields
  // that are not an object are stored under "value". Text that is not valid UTF-8 is replaced,
  // not refused. False when the line could not be written whole.
  bool Append(std::string_view kind, const nlohmann::json& fields = nlohmann::json::object()) const;

  // One debug-output line of a library: {"kind": "debug", "source": ..., "text": ...}, the
  // text without its trailing CR LF. Unpaired surrogates become U+FFFD.
  bool AppendDebugOutput(std::u16string_view source, std::u16string_view text) const;

  // Every well-formed event in file order. A line that is not a JSON object with string "time"
  // and "kind" goes to `reporter` and is skipped; an unfinished last line (a write in progress
  // or cut off by a crash) is skipped silently. A missing file gives no events.
  std::vector<nlohmann::json> Read(const Reporter& reporter = nullptr) const;

  // The same over text already read; `text` may hold any bytes.
  static std::vector<nlohmann::json> ParseLines(std::string_view text, const Reporter& reporter);

  // "2026-12-08T23:09:31.123Z" for the current time.
  static std::string NowIso8601();

 private:
  std::filesystem::path file_;
};

}  // namespace brevalo
