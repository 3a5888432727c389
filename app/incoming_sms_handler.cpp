#include "app/incoming_sms_handler.h"

#include "send/recipients.h"
#include "store/document_filing.h"
#include "store/node_title.h"

namespace brevalo {
namespace {

IncomingSms MatchedFields(const SlotMessage& message) { return {message.sender, message.body}; }

// An action's text, empty when the slot is absent or was written without one.
std::u16string_view ActionText(const Filter& filter, size_t slot) {
  if (!filter.HasAction(slot) || !filter.actions[slot]->text) return {};
  return *filter.actions[slot]->text;
}

DATE LocalDeliveryDate(const FILETIME& deliveryTime) {
  DATE date = 0;
  // A time the conversion cannot take (out of range) leaves the message dated now.
  if (!UtcFileTimeToOleDate(deliveryTime, &date)) date = CurrentOleDate();
  return date;
}

}  // namespace

IncomingSmsHandler::IncomingSmsHandler(const FilterEngine& filters, OpenDocument& document,
                                       IntakeActions& actions)
    : filters_(filters), document_(document), actions_(actions) {}

uint32_t IncomingSmsHandler::HandleIncomingSms(const SlotMessage& message, const IntakeOptions& options) {
  const IncomingSms fields = MatchedFields(message);
  if (filters_.IsBlackListed(fields)) {
    actions_.SignalDelete();
    if (options.blackDeleteToRecycleBin && document_.IsOpen() && document_.RecycleBin()) {
      ApplicationLockHold hold(document_.Lock());
      File(document_.RecycleBin(), message, options);
      actions_.OnlyTheDocumentHoldsIt();
    }
    return 1;
  }
  const Filter& filter = filters_.MatchFilter(fields);
  RunFilterActions(filter, message, options);
  if (document_.IsOpen() && filter.HasAction(ACTION_SAVE_TO_FOLDER)) {
    ApplicationLockHold hold(document_.Lock());
    File(FindOrCreateFolderPath(ActionText(filter, ACTION_SAVE_TO_FOLDER)), message, options);
    if (filter.HasAction(ACTION_HIDE_IN_INBOX)) actions_.OnlyTheDocumentHoldsIt();
  }
  if (filter.HasAction(ACTION_UNREAD_ALERT)) actions_.StartUnreadReminder();
  return 1;
}

void IncomingSmsHandler::RunFilterActions(const Filter& filter, const SlotMessage& message,
                                          const IntakeOptions& options) {
  if (filter.HasAction(ACTION_HIDE_IN_INBOX)) actions_.SignalDelete();
  if (filter.HasAction(ACTION_POPUP)) ShowPopup(filter, message, options);
  if (filter.HasAction(ACTION_SOUND)) PlaySound(filter, options);
  if (filter.HasAction(ACTION_VIBRATE)) actions_.Vibrate();
  std::u16string_view reply = ActionText(filter, ACTION_AUTO_REPLY);
  if (!reply.empty()) actions_.Enqueue(message.sender, reply);
  std::u16string_view forwardTo = ActionText(filter, ACTION_AUTO_FORWARD);
  if (!forwardTo.empty()) actions_.Enqueue(forwardTo, message.body);
}

void IncomingSmsHandler::ShowPopup(const Filter& filter, const SlotMessage& message,
                                   const IntakeOptions& options) {
  std::u16string_view skin = ActionText(filter, ACTION_POPUP);
  std::u16string_view picture = ActionText(filter, ACTION_PHOTO);
  if (filter.HasAction(ACTION_SENTENCE)) {
    // The sentence stands in for the message: no sender, and so no contact's photo either.
    actions_.ShowPopup(skin, ActionText(filter, ACTION_SENTENCE), u"", options.popupDisplayMs, picture, 0);
    return;
  }
  RecipientName sender = RecipientDisplayName(message.sender);
  actions_.ShowPopup(skin, message.body, sender.name, options.popupDisplayMs, picture,
                     sender.quoted ? 1 : 0);
}

void IncomingSmsHandler::PlaySound(const Filter& filter, const IntakeOptions& options) {
  std::u16string_view sound = ActionText(filter, ACTION_SOUND);
  if (!sound.empty() && sound.front() == ActionRandomRing.front()) {
    if (options.randomSoundFolderSet) actions_.PlayRandomRing();
    return;
  }
  actions_.PlaySound(sound);
}

TreeNode* IncomingSmsHandler::FindOrCreateFolderPath(std::u16string_view path) {
  // The text before the first backslash names no folder; a path without one files at the top.
  size_t first = path.find(u'\\');
  if (first == std::u16string_view::npos) return nullptr;
  // A folder that cannot be written leaves the message at the top level rather than nowhere.
  return document_.FindOrCreateFolder(path.substr(first), FolderPlacement::kLastChild);
}

TreeNode* IncomingSmsHandler::File(TreeNode* folder, const SlotMessage& message,
                                   const IntakeOptions& options) {
  const DATE date = LocalDeliveryDate(message.deliveryTime);
  std::u16string title = BuildTitle(message.sender, message.body, actions_.TimeText(date),
                                    options.titleMode, options.summaryLength);
  TreeNode* node = document_.FileReceived(folder, std::move(title), message.sender, date, message.body);
  actions_.UnreadChanged();
  return node;
}

}  // namespace brevalo
