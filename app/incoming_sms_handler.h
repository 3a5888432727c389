// What the program does with one incoming SMS, on the main window's thread: the black list,
// then the filter the message matches and its actions in their fixed order, then filing into
// the open document. The delete answer to the library goes first, before any slow action,
// because the library waits for it a limited time.
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
  // Sets "KVT_SMSDeleteEvent": the library deletes the message from the phone's inbox.
  virtual void SignalDelete() = 0;
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
  // Switches the new-message indication on.
  virtual void StartUnreadReminder() = 0;
  // A message was filed: the unread total is published and the shell told.
  virtual void UnreadChanged() = 0;
  // A message was filed that the phone's inbox no longer holds: the document is to be saved
  // soon, not only at the next automatic save.
  virtual void OnlyTheDocumentHoldsIt() = 0;
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
  // The filter's actions that do not touch the document, in their fixed order.
  void RunFilterActions(const Filter& filter, const SlotMessage& message, const IntakeOptions& options);
  // Walks `path` ("\Work\Boss") from the top level, creating each missing folder as the last
  // child. Null for a path without folder names: the top level.
  TreeNode* FindOrCreateFolderPath(std::u16string_view path);
  // Files `message` as the last child of `folder` (the top level for null): unread, counted up
  // the tree, the tree marked changed. Returns the new node.
  TreeNode* File(TreeNode* folder, const SlotMessage& message, const IntakeOptions& options);

 private:
  void ShowPopup(const Filter& filter, const SlotMessage& message, const IntakeOptions& options);
  void PlaySound(const Filter& filter, const IntakeOptions& options);

  const FilterEngine& filters_;
  OpenDocument& document_;
  IntakeActions& actions_;
};

}  // namespace brevalo
