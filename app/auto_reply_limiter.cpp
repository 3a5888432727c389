#include "app/auto_reply_limiter.h"

#include "filter/normalize_number.h"

namespace brevalo {

bool AutoReplyLimiter::Allow(std::u16string_view sender, int64_t nowSeconds, int32_t windowMinutes) {
  char16_t number[NormalizedNumberSize];
  const std::u16string key(number, NormalizeNumber(sender, number));
  auto last = lastReply_.find(key);
  if (windowMinutes > 0 && last != lastReply_.end() &&
      nowSeconds - last->second < int64_t{windowMinutes} * 60 && nowSeconds >= last->second) {
    return false;
  }
  lastReply_[key] = nowSeconds;
  return true;
}

}  // namespace brevalo
