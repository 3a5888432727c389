// The pop-up that tells the user how a queued message went: "Send to <name> Successfully!" or
// "Send to <name> Fail!", shown with the sent-message skin for a while.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace brevalo {

class SentNotifier {
 public:
  virtual ~SentNotifier() = default;
  // `skin` is the skin file's device path, empty for the built-in look.
  virtual void ShowSentPopup(std::u16string_view skin, std::u16string_view text,
                             int32_t durationMs) = 0;
};

// The pop-up's text for the first recipient of `recipients`.
std::u16string SentPopupText(std::u16string_view recipients, bool sent);

}  // namespace brevalo
