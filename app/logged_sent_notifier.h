// Stands in for the sent pop-up until the alert window shows it: each pop-up the program would
// show is written to the device's event log as {"kind": "sent-popup", "text", "skin",
// "duration"}, where tests and the user can see it.
#pragma once

#include "device/event_log.h"
#include "send/sent_notifier.h"

namespace brevalo {

class LoggedSentNotifier : public SentNotifier {
 public:
  explicit LoggedSentNotifier(const Device& device) : log_(device) {}
  void ShowSentPopup(std::u16string_view skin, std::u16string_view text,
                     int32_t durationMs) override;

 private:
  EventLog log_;
};

}  // namespace brevalo
