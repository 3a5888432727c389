#include "settings/option_checks.h"

#include <limits>

namespace brevalo {

int TitleChoiceOf(int32_t stored) { return stored >= 0 && stored <= 2 ? stored : 2; }
int ProtectChoiceOf(int32_t stored) { return stored >= 0 && stored <= 2 ? stored : 1; }

int64_t BoxNumber(std::u16string_view text) {
  constexpr int64_t kLimit = std::numeric_limits<int32_t>::max();
  size_t at = 0;
  while (at < text.size() && (text[at] == u' ' || text[at] == u'\t')) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == u'-' || text[at] == u'+')) negative = text[at++] == u'-';
  int64_t value = 0;
  for (; at < text.size() && text[at] >= u'0' && text[at] <= u'9'; ++at) {
    value = value * 10 + (text[at] - u'0');
    if (value > kLimit) value = kLimit + (negative ? 1 : 0);
  }
  return negative ? -value : value;
}

std::optional<int32_t> PositiveBoxValue(std::u16string_view text, int32_t largest) {
  const int64_t value = BoxNumber(text);
  if (value <= 0 || value > largest) return std::nullopt;
  return static_cast<int32_t>(value);
}

std::optional<int32_t> SecondsBoxMs(std::u16string_view text, bool zeroAllowed) {
  const int64_t seconds = BoxNumber(text);
  if (seconds < 0 || (seconds == 0 && !zeroAllowed)) return std::nullopt;
  if (seconds > std::numeric_limits<int32_t>::max() / 1000) return std::nullopt;
  return static_cast<int32_t>(seconds * 1000);
}

}  // namespace brevalo
