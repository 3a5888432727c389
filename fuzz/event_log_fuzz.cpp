// Any bytes as an event log: the reader keeps only objects with a string time and kind, reports
// every other complete line, and never fails unsafely.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "device/event_log.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  size_t reported = 0;
  auto events = brevalo::EventLog::ParseLines(
      text, [&](size_t, std::string_view, std::string_view) { ++reported; });
  for (const auto& event : events) {
    if (!event.is_object() || !event["time"].is_string() || !event["kind"].is_string()) {
      std::abort();
    }
  }
  return 0;
}
