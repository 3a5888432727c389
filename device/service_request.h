// What phonesim's commands and the running messaging service say to each other over
// DIR/run/service.sock: one JSON object a line each way.
//
//   {"op":"sms","from":"+8613800138000","text":"Dinner?","time":134000000000000000}
//        -> {"ok":true,"id":7,"outcome":"kept"|"deleted","handled":false}
//   {"op":"status"}
//        -> {"ok":true,"pid":1234,"ruleClients":["{20F58816-...}"]}
//   failures -> {"ok":false,"error":"..."}
//
// "time" is the delivery time in UTC FILETIME ticks and may be left out (the service then uses
// the time of arrival). Both sides read what any local process may write, so every parser
// accepts any bytes and trusts nothing of a line it refuses.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brevalo {

// Longest request or answer line read; a longer one is refused whole. Room for the longest text
// below with every unit escaped in the JSON ("\uXXXX", 6 bytes).
inline constexpr size_t kMaxServiceLineBytes = 512 * 1024;
// Longest sender and text an incoming SMS may carry (UTF-16 units): beyond the longest
// concatenated SMS (255 parts of 153 characters) and beyond what the program's channel carries
// whole, so that both can be tried.
inline constexpr size_t kMaxSmsAddressUnits = 4 * 1024;
inline constexpr size_t kMaxSmsTextUnits = 64 * 1024;

enum class ServiceOp { Sms, Status };

struct ServiceRequest {
  ServiceOp op = ServiceOp::Status;
  std::u16string from;                  // Sms
  std::u16string text;                  // Sms
  std::optional<uint64_t> deliveryTime; // Sms
};

// What became of one incoming SMS.
struct SmsOutcome {
  int64_t id = 0;
  bool deleted = false;
  bool handled = false;
};

struct ServiceStatus {
  int64_t pid = 0;
  std::vector<std::string> ruleClients;  // class identifiers, in calling order
};

// Nothing, with *error set, for anything but a well-formed request: unknown op, missing or
// mistyped fields, an empty sender, texts over their limits.
std::optional<ServiceRequest> ParseServiceRequest(std::string_view line, std::string* error);
std::string FormatServiceRequest(const ServiceRequest& request);

std::string FormatSmsOutcome(const SmsOutcome& outcome);
std::string FormatServiceStatus(const ServiceStatus& status);
std::string FormatServiceError(std::string_view error);

// The answers as a client reads them. Nothing, with *error set, for a line that is not such an
// answer; an "ok": false answer gives its "error" text.
std::optional<SmsOutcome> ParseSmsOutcome(std::string_view line, std::string* error);
std::optional<ServiceStatus> ParseServiceStatus(std::string_view line, std::string* error);

}  // namespace brevalo
