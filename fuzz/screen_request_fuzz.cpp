// Any bytes as a remote-control request or a window-directory post: the parsers never fail
// unsafely, and whatever they accept formats to a request that parses to the same thing.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "device/screen_remote_protocol.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view line(reinterpret_cast<const char*>(data), size);
  std::string error;
  if (std::optional<brevalo::ScreenRequest> request = brevalo::ParseScreenRequest(line, &error)) {
    if (request->op == brevalo::ScreenOp::Key) {
      if (request->keys.empty() || request->keys.size() > brevalo::kMaxKeysPerRequest) std::abort();
      auto again = brevalo::ParseScreenRequest(
          brevalo::FormatKeyRequest(request->keys, request->hold), &error);
      if (!again || again->keys != request->keys || again->hold != request->hold) std::abort();
    }
  } else if (error.empty()) {
    std::abort();  // a refusal always says why
  }
  if (std::optional<brevalo::WindowPost> post = brevalo::ParseWindowPost(line, &error)) {
    auto again = brevalo::ParseWindowPost(brevalo::FormatWindowPost(*post), &error);
    if (!again || again->message != post->message || again->wParam != post->wParam ||
        again->lParam != post->lParam) {
      std::abort();
    }
  }
  if (std::optional<std::string> bytes = brevalo::Base64Decode(line)) {
    if (brevalo::Base64Encode(*bytes) != line) std::abort();
  }
  return 0;
}
