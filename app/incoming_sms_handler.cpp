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

// The filter's path from its first backslash on; the text before it names no folder, and a path
// without one files at the top level.
std::u16string FolderPathOf(std::u16string_view path) {
  size_t first = path.find(u'\\');
  return first == std::u16string_view::npos ? std::u16string() : std::u16string(path.substr(first));
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
    // Kept in the bin when the user wants that, so the phone's copy waits for the bin to hold
    // it; otherwise dropped as asked. Nothing else happens to a black-listed message.
    if (options.blackDeleteToRecycleBin && document_.IsOpen() && document_.RecycleBin()) {
      DeleteWhenHeld(message, FileMessage({JournalTarget::kRecycleBin, u""}, message, options));
    } else {
      actions_.AnswerDelete(message.ticket);
    }
    return 1;
  }
  const Filter& filter = filters_.MatchFilter(fields);
  const bool saves = filter.HasAction(ACTION_SAVE_TO_FOLDER);
  FiledMessage filed;
  if (saves && document_.IsOpen()) {
    filed = FileMessage({JournalTarget::kFolderPath, FolderPathOf(ActionText(filter, ACTION_SAVE_TO_FOLDER))},
                        message, options);
  }
  if (filter.HasAction(ACTION_HIDE_IN_INBOX)) {
    // A filter that files nothing drops the message as the user asked.
    if (saves) DeleteWhenHeld(message, filed);
    else actions_.AnswerDelete(message.ticket);
  }
  // Handed over again after the program ended before taking it off the channel: it was
  // filed and announced then.
  if (filed.again) return 1;
  RunFilterActions(filter, message, options);
  if (filter.HasAction(ACTION_UNREAD_ALERT)) actions_.StartUnreadReminder();
  return 1;
}

void IncomingSmsHandler::DeleteWhenHeld(const SlotMessage& message, const FiledMessage& filed) {
  if (filed.Held()) {
    actions_.AnswerDelete(message.ticket);
    return;
  }
  // Without a document the phone's inbox is simply where the message lives.
  if (filed.documentOpen) actions_.KeptOnPhone(!filed.written);
}

void IncomingSmsHandler::RunFilterActions(const Filter& filter, const SlotMessage& message,
                                          const IntakeOptions& options) {
  if (filter.HasAction(ACTION_POPUP)) ShowPopup(filter, message, options);
  if (filter.HasAction(ACTION_SOUND)) PlaySound(filter, options);
  if (filter.HasAction(ACTION_VIBRATE)) actions_.Vibrate();
  std::u16string_view reply = ActionText(filter, ACTION_AUTO_REPLY);
  if (!reply.empty() && actions_.MayAutoReply(message.sender)) actions_.Enqueue(message.sender, reply);
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

bool IncomingSmsHandler::File(const FilingPlace& place, const SlotMessage& message,
                              const IntakeOptions& options) {
  return FileMessage(place, message, options).Held();
}

FiledMessage IncomingSmsHandler::FileMessage(const FilingPlace& place, const SlotMessage& message,
                                             const IntakeOptions& options) {
  const DATE date = LocalDeliveryDate(message.deliveryTime);
  std::u16string title = BuildTitle(message.sender, message.body, actions_.TimeText(date),
                                    options.titleMode, options.summaryLength);
  FiledMessage filed =
      document_.FileReceived(place, std::move(title), message.sender, date, message.body, message.ticket);
  // A text the channel had to cut is only part of the message: the phone keeps the whole.
  if (!message.bodyWhole || !message.senderWhole) filed.exact = false;
  if (filed.node != nullptr) actions_.UnreadChanged();
  return filed;
}

}  // namespace brevalo
