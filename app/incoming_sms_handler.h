// What the program does with one incoming SMS, on the main window's thread: the black list,
// then the filter the message matches, filing into the open document, and the filter's other
// actions in their fixed order. The phone's copy is let go (the delete answer to the library)
// only when the user asked for it and the document holds the message exactly and on disk, or
// the user asked to keep no copy at all. The answer goes before the alerts, because the library
// waits for it a limited time.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "app/open_document.h"
#include "channel/slot_message.h"
#include "filter/filter_engine.h"

namespace brevalo {

// The program around the handler: the delete event, the alerts, the send queue and the main
// window's bookkeeping.
class IntakeActions {
 public:
  virtual ~IntakeActions() = default;
  // The library deletes the message named by `ticket` from the phone's inbox.
  virtual void AnswerDelete(uint64_t ticket) = 0;
  // The user asked for the phone's copy to go, but the document does not hold the message: it
  // stays in the phone's inbox. `saveFailed` says the document could not write it (rather
  // than that it cannot hold it exactly).
  virtual void KeptOnPhone(bool saveFailed) = 0;
  // Loads `skin` (empty: the built-in one) into the pop-up and shows it for `displayMs`.
  virtual void ShowPopup(std::u16string_view skin, std::u16string_view text,
                         std::u16string_view sender, int displayMs, std::u16string_view picture,
                         int contact) = 0;
  // Both keep quiet under the Silent and Meeting profiles.
  virtual void PlaySound(std::u16string_view path) = 0;
  virtual void PlayRandomRing() = 0;
  virtual void Vibrate() = 0;
  // Queues a message on the SMS transport; nothing when there is none.
  virtual void Enqueue(std::u16string_view recipients, std::u16string_view text) = 0;
  // True when an automatic reply to `sender` may go now (and is then counted as made).
  virtual bool MayAutoReply(std::u16string_view sender) = 0;
  // Switches the new-message indication on.
  virtual void StartUnreadReminder() = 0;
  // A message was filed: the unread total is published and the shell told.
  virtual void UnreadChanged() = 0;
  // The local moment as the user reads it in titles.
  virtual std::u16string TimeText(DATE local) = 0;
};

// The settings the handler reads, as they are when the message arrives.
struct IntakeOptions {
  bool blackDeleteToRecycleBin = false;
  int32_t popupDisplayMs = 0;         // DisappearTimeRecv
  bool randomSoundFolderSet = false;  // RndSoundPath is not empty
  int32_t titleMode = 0;              // ReceiveTitle
  int32_t summaryLength = 10;
};

class IncomingSmsHandler {
 public:
  // All must outlive the handler.
  IncomingSmsHandler(const FilterEngine& filters, OpenDocument& document, IntakeActions& actions);

  // The whole verdict on `message`. Always 1: the message has been consumed.
  uint32_t HandleIncomingSms(const SlotMessage& message, const IntakeOptions& options);
  // The filter's alerts, replies and forwards, in their fixed order.
  void RunFilterActions(const Filter& filter, const SlotMessage& message, const IntakeOptions& options);
  // Files `message` at `place`, newest first: unread, counted up the tree, the tree marked
  // changed, journaled. True when the document holds it exactly and on disk.
  bool File(const FilingPlace& place, const SlotMessage& message, const IntakeOptions& options);

 private:
  // Lets the phone's copy go when the document holds the message; else says it stays.
  void DeleteWhenHeld(const SlotMessage& message, const FiledMessage& filed);
  FiledMessage FileMessage(const FilingPlace& place, const SlotMessage& message,
                           const IntakeOptions& options);
  void ShowPopup(const Filter& filter, const SlotMessage& message, const IntakeOptions& options);
  void PlaySound(const Filter& filter, const IntakeOptions& options);

  const FilterEngine& filters_;
  OpenDocument& document_;
  IntakeActions& actions_;
};

}  // namespace brevalo
