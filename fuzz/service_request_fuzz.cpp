// Any line as a request to the messaging service or as its answer: the parsers stay within the
// line, and what they accept keeps to the limits and formats back to an equal request.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "device/service_request.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view line(reinterpret_cast<const char*>(data), size);
  std::string error;
  std::optional<brevalo::ServiceRequest> request = brevalo::ParseServiceRequest(line, &error);
  if (request) {
    if (request->op == brevalo::ServiceOp::Sms &&
        (request->from.empty() || request->from.size() > brevalo::kMaxSmsAddressUnits ||
         request->text.size() > brevalo::kMaxSmsTextUnits)) {
      std::abort();
    }
    std::optional<brevalo::ServiceRequest> again =
        brevalo::ParseServiceRequest(brevalo::FormatServiceRequest(*request), &error);
    if (!again || again->op != request->op || again->from != request->from ||
        again->text != request->text || again->deliveryTime != request->deliveryTime) {
      std::abort();
    }
  } else if (error.empty()) {
    std::abort();  // a refusal always says why
  }
  brevalo::ParseSmsOutcome(line, &error);
  brevalo::ParseServiceStatus(line, &error);
  return 0;
}
