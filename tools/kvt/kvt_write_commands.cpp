// new, add and compact: the commands that change a document. Each leaves the document saved
// (index, then header) or, when something fails, as it was before the command.
#include <iostream>

#include "device/device_properties.h"
#include "store/document_filing.h"
#include "store/node_title.h"
#include "tools/kvt/kvt_commands.h"
#include "tools/kvt/kvt_output.h"

namespace brevalo {
namespace {

// The folders a new document starts with, looked up in this order and each put first, so that
// the top level reads Inbox, Sent Box, Drafts and then the recycle bin.
constexpr std::u16string_view kStandardFolders[] = {u"Drafts", u"\\Sent Box", u"\\Inbox"};

int SaveOrFail(KvtSession& session, const std::string& file) {
  if (!session.Store().Save(session.Tree())) {
    return Fail(file + ": the document could not be saved; it keeps its previous contents");
  }
  return kExitOk;
}

std::u16string Utf16(const std::string& text) { return FromUtf8(text); }

}  // namespace

int RunNew(KvtSession& session, const std::string& file, const NewArgs& args) {
  std::u16string password = Utf16(session.Options().password.value_or(""));
  if (!session.CreateDocument(file, Utf16(args.author), password, args.force)) {
    return Fail(session.Error());
  }
  MessageStore& store = session.Store();
  FolderTree& tree = session.Tree();
  if (args.recycleBin) {
    TreeNode& bin = tree.InsertLastChild(tree.Root(), std::u16string(kRecycleBinLabel),
                                         kImageBinEmpty, NodeData{});
    store.SetRecycleBin(&bin);
  }
  if (args.standardFolders) {
    for (std::u16string_view path : kStandardFolders) {
      TreeNode* folder = nullptr;
      if (!FindOrCreateFolder(store, tree, path, FolderPlacement::kFirstChild, &folder)) {
        return Fail(file + ": cannot write the folder records");
      }
    }
  }
  // An empty tree needs no index beyond the empty head that Create wrote: the file stays at
  // its 140 bytes.
  if (!tree.Empty()) store.SetTreeChanged();
  if (int code = SaveOrFail(session, file)) return code;
  PrintLine("Created " + file + " with " + std::to_string(tree.Count()) + " nodes");
  return kExitOk;
}

int RunAdd(KvtSession& session, const std::string& file, const AddArgs& args) {
  DATE date = CurrentOleDate();
  if (args.date && !ParseIsoDate(*args.date, &date)) {
    Fail("--date " + *args.date + ": not a date such as 2026-12-08T09:30:00");
    return kExitUsage;
  }
  if (!session.OpenDocument(file, true, StoreAccess::kWrite)) return Fail(session.Error());
  MessageStore& store = session.Store();
  FolderTree& tree = session.Tree();
  // Filing into a protected folder changes what it holds: that takes its password.
  if (TreeNode* existing = DeepestExistingFolder(tree, Utf16(args.folder))) {
    if (!session.MayOpenNode(*existing)) return Fail(session.Error());
  }
  TreeNode* folder = nullptr;
  if (!FindOrCreateFolder(store, tree, Utf16(args.folder), FolderPlacement::kLastChild,
                          &folder)) {
    return Fail(file + ": cannot write the folder records");
  }
  uint32_t offset =
      AppendMessageRecord(store, session.Page(), Utf16(args.from), date, Utf16(args.text));
  if (offset == 0) return Fail(file + ": cannot write the message record");
  std::tm moment;
  std::u16string when = OleDateToTm(date, &moment)
                            ? LocalDateTimeText(session.DeviceRegistry(), moment)
                            : std::u16string();
  NodeData data;
  data.offset = offset;
  TreeNode& parent = folder != nullptr ? *folder : tree.Root();
  TreeNode& added = tree.InsertLastChild(parent, BuildTitle(Utf16(args.from), {}, when, kTitleContactTime, 0),
                       args.read ? kImageRead : kImageUnread, data);
  store.SetTreeChanged();
  if (int code = SaveOrFail(session, file)) return code;
  std::vector<NumberedNode> nodes = session.Nodes();
  size_t number = 0;
  while (number < nodes.size() && nodes[number].node != &added) ++number;
  PrintLine("Filed as node " + std::to_string(number) + " \"" + ToUtf8(added.Label()) + "\"");
  return kExitOk;
}

int RunCompact(KvtSession& session, const std::string& file, bool continueWithoutBackup) {
  if (!session.OpenDocument(file, true, StoreAccess::kWrite)) return Fail(session.Error());
  MessageStore& store = session.Store();
  uint64_t before = store.FileSize().value_or(0);
  CompressResult result = store.Compress(session.Tree(), [&](const std::u16string& question) {
    std::cerr << "kvt: " << ToUtf8(question)
              << (continueWithoutBackup ? " Yes (--continue-without-backup)\n"
                                        : " No (give --continue-without-backup to go on)\n");
    return continueWithoutBackup;
  });
  switch (result) {
    case CompressResult::kDone: {
      uint64_t after = store.FileSize().value_or(0);
      PrintLine("Compressed " + file + ": " + std::to_string(before) + " -> " +
                std::to_string(after) + " bytes");
      return kExitOk;
    }
    case CompressResult::kNotOpen: return Fail(file + ": no document is open");
    case CompressResult::kSaveFailed: return Fail(file + ": the document could not be saved");
    case CompressResult::kCompactFailed: return Fail("Compressing file error!");
    case CompressResult::kCancelled:
      return Fail(file + ": not compressed, the backup copy could not be written");
    case CompressResult::kCopyBackFailed:
      return Fail(file + ": the compressed copy could not replace the document; it is kept "
                         "next to it with \".ban\" appended, the old one with \".bak\"");
    case CompressResult::kReopenFailed:
      return Fail(file + ": compressed, but the result does not open");
  }
  return kExitFailure;
}

}  // namespace brevalo
