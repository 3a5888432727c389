// export --format xml|json and import: a document's messages as the backup files other phones'
// programs keep, and such a backup filed into a document.
#include <fstream>
#include <iterator>
#include <map>
#include <set>

#include "device/device_properties.h"
#include "device/phone_contacts.h"
#include "filter/normalize_number.h"
#include "store/backup_import.h"
#include "store/document_backup.h"
#include "store/document_filing.h"
#include "store/sms_backup_json.h"
#include "store/sms_backup_xml.h"
#include "tools/kvt/kvt_commands.h"
#include "tools/kvt/kvt_output.h"

namespace brevalo {
namespace {

std::u16string Normalized(std::u16string_view number) {
  char16_t out[NormalizedNumberSize];
  const size_t length = NormalizeNumber(number, out);
  return std::u16string(out, length);
}

// The phone's contacts by number, for the names of received messages' senders.
class ContactNames {
 public:
  explicit ContactNames(const Device& device) {
    std::string error;
    std::optional<std::vector<Contact>> contacts = PhoneContacts::Load(device, &error);
    if (!contacts) return;
    for (const Contact& contact : *contacts) {
      for (const std::u16string* number : {&contact.mobile, &contact.home, &contact.work}) {
        if (!number->empty()) names_.emplace(Normalized(*number), contact.name);
      }
    }
  }

  std::u16string NameOf(std::u16string_view number) const {
    if (number.empty()) return {};
    auto found = names_.find(Normalized(number));
    return found == names_.end() ? std::u16string() : found->second;
  }

 private:
  std::map<std::u16string, std::u16string> names_;
};

BackupNaming NamingFor(KvtSession& session, const ContactNames& contacts) {
  BackupNaming naming;
  naming.readableDate = [&session](DATE date) {
    std::tm moment;
    return OleDateToTm(date, &moment) ? LocalDateTimeText(session.DeviceRegistry(), moment)
                                      : std::u16string();
  };
  naming.contactName = [&contacts](std::u16string_view number) { return contacts.NameOf(number); };
  return naming;
}

bool Within(const TreeNode& node, const TreeNode& top) {
  for (const TreeNode* at = &node; at; at = at->Parent()) {
    if (at == &top) return true;
  }
  return false;
}

struct Collected {
  std::vector<BackupMessage> messages;
  int skipped = 0;
  int unreadable = 0;
};

// Every message below `top` (the whole document when null) in pre-order, except the recycle
// bin's; protected ones whose passwords were not given are left out and counted.
Collected Collect(KvtSession& session, const TreeNode* top, const BackupNaming& naming) {
  Collected collected;
  for (const NumberedNode& numbered : session.Nodes()) {
    const TreeNode& node = *numbered.node;
    if (!IsMessageImage(node.Image()) || InRecycleBin(session.Store(), node)) continue;
    if (top != nullptr && !Within(node, *top)) continue;
    if (!session.MayReadMessage(node)) {
      ++collected.skipped;
      continue;
    }
    if (std::optional<BackupMessage> message = BackupMessageOf(session.Store(), node, naming)) {
      collected.messages.push_back(std::move(*message));
    } else {
      ++collected.unreadable;
    }
  }
  return collected;
}

std::optional<std::string> ReadWhole(KvtSession& session, const std::string& file) {
  std::optional<std::filesystem::path> host = session.HostPath(KvtSession::DocumentPath(file));
  if (!host) return std::nullopt;
  std::ifstream in(*host, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return bytes;
}

bool LooksLikeJson(const std::string& file, std::string_view bytes) {
  if (file.size() >= 5 && file.compare(file.size() - 5, 5, ".json") == 0) return true;
  if (file.size() >= 4 && file.compare(file.size() - 4, 4, ".xml") == 0) return false;
  const size_t first = bytes.find_first_not_of(" \t\r\n\xEF\xBB\xBF");
  return first != std::string_view::npos && (bytes[first] == '{' || bytes[first] == '[');
}

// Filing into an existing protected folder changes what it holds: that takes its password.
bool MayFileInto(KvtSession& session, const std::vector<BackupMessage>& messages,
                 std::u16string_view under) {
  std::set<std::u16string> checked;
  for (const BackupMessage& message : messages) {
    std::u16string path = BackupImport::FolderFor(message, under);
    if (!checked.insert(path).second) continue;
    TreeNode* existing = DeepestExistingFolder(session.Tree(), path);
    if (existing != nullptr && !session.MayOpenNode(*existing)) return false;
  }
  return true;
}

}  // namespace

int RunBackupExport(KvtSession& session, const std::string& file, const ExportArgs& args) {
  if (!session.OpenDocument(file, true, StoreAccess::kRead)) return Fail(session.Error());
  const TreeNode* top = nullptr;
  if (args.node) {
    std::optional<NumberedNode> numbered = session.NodeAt(*args.node);
    if (!numbered) return Fail(session.Error());
    top = numbered->node;
  }
  ContactNames contacts(session.DeviceFolder());
  Collected collected = Collect(session, top, NamingFor(session, contacts));
  if (collected.skipped > 0) {
    Warn(Counted(collected.skipped, "password-protected message") + " left out");
  }
  const std::string text = args.format == "json" ? WriteBackupJson(collected.messages)
                                                 : WriteBackupXml(collected.messages);
  if (text.empty()) return Fail("the backup could not be written");
  int code = WriteOutput(session, args.out, text);
  if (collected.unreadable > 0) {
    return Fail(Counted(collected.unreadable, "message") + " cannot be read (see kvt check)");
  }
  if (code == kExitOk && args.out) {
    PrintLine("Exported " + Counted(collected.messages.size(), "message") + " to " + *args.out);
  }
  return code;
}

int RunImport(KvtSession& session, const std::string& file, const ImportArgs& args) {
  std::optional<std::string> bytes = ReadWhole(session, args.backup);
  if (!bytes) return Fail(args.backup + ": cannot be read");
  BackupReadResult backup = LooksLikeJson(args.backup, *bytes) ? ReadBackupJson(*bytes)
                                                               : ReadBackupXml(*bytes);
  if (!backup.ok) return Fail(args.backup + ": " + backup.error + "; nothing was imported");
  if (backup.skipped > 0) {
    Warn(Counted(static_cast<size_t>(backup.skipped), "entry") +
         " that are not text messages (MMS) left out");
  }
  if (!session.OpenDocument(file, true, StoreAccess::kWrite)) return Fail(session.Error());
  const std::u16string under = FromUtf8(args.folder);
  if (!MayFileInto(session, backup.messages, under)) return Fail(session.Error());
  BackupImport import(session.Store(), session.Tree(), session.Page(), [&session](DATE date) {
    std::tm moment;
    return OleDateToTm(date, &moment) ? LocalDateTimeText(session.DeviceRegistry(), moment)
                                      : std::u16string();
  });
  std::string error;
  if (!import.LearnDocument(&error)) return Fail(file + ": " + error + "; nothing was imported");
  BackupImportReport report = import.File(backup.messages, under);
  if (!report.ok) {
    return Fail(file + ": " + report.error + "; nothing was imported (the document keeps its "
                "previous contents)");
  }
  for (const std::string& where : report.inexact) {
    Warn(args.backup + ", " + where +
         ": the message holds characters the document's code page cannot keep; they were stored as \"?\"");
  }
  if (report.added > 0 && !session.Store().Save(session.Tree())) {
    return Fail(file + ": the document could not be saved; nothing was imported");
  }
  PrintLine("Imported " + Counted(static_cast<size_t>(report.added), "message") + " into " +
            file + (report.alreadyThere > 0
                        ? " (" + Counted(static_cast<size_t>(report.alreadyThere), "message") +
                              " already there)"
                        : ""));
  return kExitOk;
}

}  // namespace brevalo
