#include "store/document_backup.h"

#include "store/sent_content.h"

namespace brevalo {
namespace {

constexpr std::u16string_view kOutboxFolder = u"Outbox";
constexpr std::u16string_view kDraftsFolder = u"Drafts";

const TreeNode& TopLevelOf(const TreeNode& node) {
  const TreeNode* at = &node;
  while (at->Parent() && at->Parent()->Parent()) at = at->Parent();
  return *at;
}

// A message in the sent form is a draft in "Drafts", waiting in "Outbox", else sent: the
// program files them so, and a user who moved one elsewhere moved a sent one.
int SentFormType(const TreeNode& message) {
  const TreeNode& top = TopLevelOf(message);
  if (&top == &message) return kBackupSent;
  if (top.Label() == kDraftsFolder) return kBackupDraft;
  if (top.Label() == kOutboxFolder) return kBackupOutbox;
  return kBackupSent;
}

void FillSent(const SentParts& parts, const TreeNode& node, BackupMessage* message) {
  message->type = SentFormType(node);
  message->recipients = parts.recipients;
  message->body = parts.text;
  for (const RecipientNumber& entry : RecipientNumbers(parts.recipients)) {
    if (!message->address.empty()) message->address += u';';
    message->address += entry.number;
    if (message->contactName.empty()) message->contactName = entry.name;
  }
}

}  // namespace

bool IsMessageImage(int image) { return image == kImageRead || image == kImageUnread; }

std::u16string FolderPathOf(const TreeNode& message) {
  std::u16string path;
  for (const TreeNode* at = message.Parent(); at && at->Parent(); at = at->Parent()) {
    path.insert(0, at->Label());
    path.insert(0, 1, u'\\');
  }
  return path.empty() ? std::u16string(u"\\") : path;
}

bool InRecycleBin(const MessageStore& store, const TreeNode& node) {
  const TreeNode* bin = store.RecycleBin();
  if (bin == nullptr) return false;
  for (const TreeNode* at = &node; at; at = at->Parent()) {
    if (at == bin) return true;
  }
  return false;
}

std::optional<BackupMessage> BackupMessageOf(MessageStore& store, const TreeNode& node,
                                             const BackupNaming& naming) {
  if (!store.ReadRecord(node.Data().offset)) return std::nullopt;
  std::optional<std::u16string> body = store.ReadBodyText();
  if (!body) return std::nullopt;
  BackupMessage message;
  const DATE date = store.Record().date;
  if (!OleDateToUnixMilliseconds(date, &message.date)) message.date = 0;
  message.read = node.Image() == kImageRead;
  message.folder = FolderPathOf(node);
  if (std::optional<SentParts> sent = ParseSentContent(*body)) {
    FillSent(*sent, node, &message);
  } else {
    // The sender field holds a bare number or, for a known contact, its quoted name too.
    message.type = kBackupReceived;
    const std::u16string sender = store.RecordNumber();
    std::vector<RecipientNumber> entries = RecipientNumbers(sender);
    message.address = entries.empty() ? sender : entries.front().number;
    if (!entries.empty()) message.contactName = entries.front().name;
    message.body = std::move(*body);
    if (message.contactName.empty() && naming.contactName) {
      message.contactName = naming.contactName(message.address);
    }
  }
  if (naming.readableDate) message.readableDate = naming.readableDate(date);
  return message;
}

}  // namespace brevalo
