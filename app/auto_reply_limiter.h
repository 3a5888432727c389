// At most one automatic reply to the same number within a window of time, as automatic
// responders of e-mail do: two phones that both reply automatically would otherwise answer each
// other without end, at the user's cost. Forwarding is not limited.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

namespace brevalo {

class AutoReplyLimiter {
 public:
  // True, and noted as a reply made now, when no reply went to the number of `sender` within
  // the last `windowMinutes`; a window of 0 allows every reply. Senders that differ only in
  // their name, blanks or hyphens are one number.
  bool Allow(std::u16string_view sender, int64_t nowSeconds, int32_t windowMinutes);

 private:
  std::unordered_map<std::u16string, int64_t> lastReply_;  // number -> seconds
};

}  // namespace brevalo
