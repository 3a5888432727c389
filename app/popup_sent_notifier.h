// The sent pop-up on the alert window: the pop-up is loaded with the sent-message skin and shows
// the text for its time. Each one is also written to the device's event log, as every alert is,
// so that it can be checked without looking at the screen.
#pragma once

#include "alert/alert_popup.h"
#include "app/logged_sent_notifier.h"

namespace brevalo {

class PopupSentNotifier : public SentNotifier {
 public:
  // The pop-up must outlive the notifier.
  PopupSentNotifier(AlertPopup& popup, const Device& device) : popup_(popup), log_(device) {}
  void ShowSentPopup(std::u16string_view skin, std::u16string_view text,
                     int32_t durationMs) override;

 private:
  AlertPopup& popup_;
  LoggedSentNotifier log_;
};

}  // namespace brevalo
