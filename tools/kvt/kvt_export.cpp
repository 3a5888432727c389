// export: messages as the program's text export writes them.
#include <iostream>

#include "device/device_properties.h"
#include "device/file_replace.h"
#include "store/document_backup.h"
#include "store/document_filing.h"
#include "tools/kvt/kvt_commands.h"
#include "tools/kvt/kvt_output.h"

namespace brevalo {
namespace {

// The entry of one message, or nothing when its record or text cannot be read.
std::optional<std::string> EntryOf(KvtSession& session, const TreeNode& node) {
  MessageStore& store = session.Store();
  if (!store.ReadRecord(node.Data().offset)) return std::nullopt;
  std::optional<std::u16string> body = store.ReadBodyText();
  if (!body) return std::nullopt;
  std::tm moment;
  std::u16string date = OleDateToTm(store.Record().date, &moment)
                            ? LocalDateTimeText(session.DeviceRegistry(), moment)
                            : std::u16string();
  return ExportEntry(session.Page(), date, store.RecordNumber(), *body);
}

bool IsProtected(KvtSession& session, const TreeNode& node) {
  return session.Store().ReadRecord(node.Data().offset) &&
         !session.Store().RecordPassword().empty();
}

// What the program's export writes for a selected node: the message itself, or the direct
// messages of a folder that have no password of their own.
bool ExportNode(KvtSession& session, const TreeNode& node, std::string* out) {
  if (!IsRecycleBinImage(node.Image()) && !session.MayOpenNode(node)) return false;
  if (IsMessageImage(node.Image())) {
    std::optional<std::string> entry = EntryOf(session, node);
    if (!entry) {
      session.SetError("the message \"" + ToUtf8(node.Label()) + "\" cannot be read");
      return false;
    }
    *out += *entry;
    return true;
  }
  for (size_t row = 0; row < node.ChildCount(); ++row) {
    const TreeNode& child = *node.Child(row);
    if (!IsMessageImage(child.Image()) || IsProtected(session, child)) continue;
    if (std::optional<std::string> entry = EntryOf(session, child)) *out += *entry;
  }
  return true;
}

// Every message of the document in pre-order; protected ones, and those in a protected folder
// whose password was not given, are left out and counted.
void ExportAll(KvtSession& session, std::string* out, int* skipped, int* unreadable) {
  for (const NumberedNode& numbered : session.Nodes()) {
    if (!IsMessageImage(numbered.node->Image())) continue;
    if (IsProtected(session, *numbered.node) || !session.MayOpenNode(*numbered.node)) {
      ++*skipped;
    } else if (std::optional<std::string> entry = EntryOf(session, *numbered.node)) {
      *out += *entry;
    } else {
      ++*unreadable;
    }
  }
}

}  // namespace

int WriteOutput(KvtSession& session, const std::optional<std::string>& target,
                const std::string& text) {
  if (!target) {
    std::cout.write(text.data(), static_cast<std::streamsize>(text.size()));
    std::cout.flush();
    return std::cout.good() ? kExitOk : Fail("cannot write to the standard output");
  }
  std::optional<std::filesystem::path> host = session.HostPath(KvtSession::DocumentPath(*target));
  if (!host) return Fail(*target + ": not a valid path on the device");
  // Whole and on disk, or the old file left as it was.
  if (!ReplaceFileContents(*host, text)) return Fail(*target + ": cannot write the file");
  return kExitOk;
}

int RunExport(KvtSession& session, const std::string& file, const ExportArgs& args) {
  if (!session.OpenDocument(file, true, StoreAccess::kRead)) return Fail(session.Error());
  std::string text;
  if (args.node) {
    std::optional<NumberedNode> numbered = session.NodeAt(*args.node);
    if (!numbered) return Fail(session.Error());
    if (!ExportNode(session, *numbered->node, &text)) return Fail(session.Error());
    return WriteOutput(session, args.out, text);
  }
  int skipped = 0;
  int unreadable = 0;
  ExportAll(session, &text, &skipped, &unreadable);
  if (skipped > 0) {
    Warn(std::to_string(skipped) + " password-protected messages were left out");
  }
  int code = WriteOutput(session, args.out, text);
  if (unreadable > 0) {
    return Fail(std::to_string(unreadable) + " messages cannot be read (see kvt check)");
  }
  return code;
}

}  // namespace brevalo
