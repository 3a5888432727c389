#include "store/backup_import.h"

#include "store/document_filing.h"
#include "store/node_title.h"
#include "store/sender_field.h"
#include "store/sent_content.h"

namespace brevalo {
namespace {

std::u16string_view DefaultFolder(int type) {
  switch (type) {
    case kBackupSent: return u"\\Sent Box";
    case kBackupDraft: return u"\\Drafts";
    case kBackupOutbox: return u"\\Outbox";
    default: return u"\\Inbox";
  }
}

std::u16string QuotedEntry(std::u16string_view name, std::u16string_view number) {
  std::u16string entry;
  if (!name.empty()) {
    entry = u"\"";
    entry += name;
    entry += u"\"<";
    entry += number;
    entry += u">";
    return entry;
  }
  return std::u16string(number);
}

// The recipient list a sent message is kept with: the one recorded with it, else its address
// with the contact's name when the backup knows one.
std::u16string RecipientsOf(const BackupMessage& message) {
  if (!message.recipients.empty()) return message.recipients;
  return QuotedEntry(message.contactName, message.address);
}

}  // namespace

BackupImport::BackupImport(MessageStore& store, FolderTree& tree, const CodePage& page,
                           std::function<std::u16string(DATE)> timeText)
    : store_(store), tree_(tree), page_(page), timeText_(std::move(timeText)) {}

BackupImport::Key BackupImport::KeyOf(const BackupMessage& message) {
  // Whole seconds, rounded down also before 1970, so a date kept to the second matches.
  const int64_t seconds = message.date >= 0 ? message.date / 1000 : -((-message.date + 999) / 1000);
  return {message.address, seconds, message.body};
}

bool BackupImport::LearnDocument(std::string* error) {
  bool ok = true;
  tree_.Walk([&](TreeNode& node, int) {
    if (!ok || !IsMessageImage(node.Image()) || InRecycleBin(store_, node)) return;
    std::optional<BackupMessage> message = BackupMessageOf(store_, node, BackupNaming{});
    if (!message) {
      *error = "the message \"" + ToUtf8(node.Label()) + "\" of the document cannot be read";
      ok = false;
      return;
    }
    known_.insert(KeyOf(*message));
  });
  return ok;
}

std::u16string BackupImport::FolderFor(const BackupMessage& message,
                                       std::u16string_view under) {
  std::u16string path(under);
  while (!path.empty() && path.back() == u'\\') path.pop_back();
  std::u16string_view own = message.folder.empty() ? DefaultFolder(message.type)
                                                   : std::u16string_view(message.folder);
  if (!own.empty() && own.front() != u'\\') path += u'\\';
  path += own;
  return path;
}

TreeNode* BackupImport::Folder(const std::u16string& path) {
  for (const auto& [known, node] : folders_) {
    if (known == path) return node;
  }
  TreeNode* folder = nullptr;
  if (!FindOrCreateFolder(store_, tree_, path, FolderPlacement::kLastChild, &folder)) {
    return nullptr;
  }
  TreeNode* place = folder != nullptr ? folder : &tree_.Root();
  folders_.emplace_back(path, place);
  return place;
}

bool BackupImport::FileOne(const BackupMessage& message, std::u16string_view under,
                           BackupImportReport* report) {
  DATE date = 0;
  if (!UnixMillisecondsToOleDate(message.date, &date)) {
    report->error = message.where + ": the date " + std::to_string(message.date) +
                    " is out of range";
    return false;
  }
  TreeNode* folder = Folder(FolderFor(message, under));
  if (folder == nullptr) {
    report->error = "cannot write the folder records";
    return false;
  }
  const std::u16string when = timeText_ ? timeText_(date) : std::u16string();
  std::u16string title;
  uint32_t offset = 0;
  bool exact = true;
  if (message.type == kBackupReceived) {
    const SenderField sender =
        FitSenderToNumberField(page_, QuotedEntry(message.contactName, message.address));
    exact = sender.exact && CodePageHolds(page_, message.body);
    offset = AppendMessageRecord(store_, page_, sender.text, date, message.body);
    title = BuildTitle(sender.text, message.body, when, kTitleContactTime, 0);
  } else {
    const std::u16string recipients = RecipientsOf(message);
    const std::u16string content = SentContent(page_, recipients, message.body);
    exact = CodePageHolds(page_, content) && ParseSentContent(content)->text == message.body;
    offset = AppendMessageRecord(store_, page_, u"", date, content);
    title = BuildTitle(SentTitleContact(recipients), message.body, when, kTitleContactTime, 0);
  }
  if (offset == 0) {
    report->error = "cannot write the message record";
    return false;
  }
  if (title.size() > kTitleCapacity) title.resize(kTitleCapacity);
  NodeData data;
  data.offset = offset;
  tree_.InsertLastChild(*folder, std::move(title), message.read ? kImageRead : kImageUnread, data);
  if (!exact) report->inexact.push_back(message.where);
  ++report->added;
  return true;
}

BackupImportReport BackupImport::File(const std::vector<BackupMessage>& messages,
                                      std::u16string_view under) {
  BackupImportReport report;
  for (const BackupMessage& message : messages) {
    if (!known_.insert(KeyOf(message)).second) {
      ++report.alreadyThere;
      continue;
    }
    if (!FileOne(message, under, &report)) break;
    store_.SetTreeChanged();
  }
  report.ok = report.error.empty();
  return report;
}

}  // namespace brevalo
