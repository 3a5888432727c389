#include "store/journal_replay.h"

#include <unordered_set>

#include "store/document_filing.h"
#include "store/message_store.h"

namespace brevalo {
namespace {

std::unordered_set<uint32_t> NamedOffsets(const FolderTree& tree) {
  std::unordered_set<uint32_t> offsets;
  offsets.reserve(tree.Count());
  tree.Walk([&](const TreeNode& node, int) { offsets.insert(node.Data().offset); });
  return offsets;
}

// A bin that came after the last save is made again rather than losing what went into it.
TreeNode& RecycleBinOf(MessageStore& store, FolderTree& tree) {
  if (store.RecycleBin() != nullptr) return *store.RecycleBin();
  TreeNode& bin =
      tree.InsertLastChild(tree.Root(), store.RecycleBinLabel(), kImageBinFull, NodeData{});
  store.SetRecycleBin(&bin);
  return bin;
}

TreeNode& ParentOf(MessageStore& store, FolderTree& tree, const JournalEntry& entry) {
  if (entry.target == JournalTarget::kRecycleBin) return RecycleBinOf(store, tree);
  const FolderPlacement placement =
      entry.firstChild ? FolderPlacement::kFirstChild : FolderPlacement::kLastChild;
  TreeNode* folder = nullptr;
  // A folder whose record cannot be written leaves the message at the top level, not nowhere.
  if (!FindOrCreateFolder(store, tree, entry.folderPath, placement, &folder)) folder = nullptr;
  return folder ? *folder : tree.Root();
}

}  // namespace

JournalReplayReport ReplayJournal(MessageStore& store, FolderTree& tree,
                                  const JournalContents& contents, const JournalBase& base) {
  JournalReplayReport report;
  if (contents.damage) {
    report.problems.push_back("journal: " + contents.damage->reason + "; " +
                              std::to_string(contents.damage->dropped) + " bytes from offset " +
                              std::to_string(contents.damage->offset) + " were not used");
  }
  if (!contents.base || !(*contents.base == base)) return report;
  report.pending = contents.entries.size();
  if (contents.entries.empty()) return report;
  std::unordered_set<uint32_t> named = NamedOffsets(tree);
  for (const JournalEntry& entry : contents.entries) {
    if (named.count(entry.offset) != 0) {
      store.NoteFiledTicket(entry.ticket, entry.offset);
      continue;
    }
    uint32_t offset = entry.offset;
    if (!store.Holds(offset, entry.stored)) {
      offset = store.AppendStored(entry.stored);
      if (offset == 0) {
        report.problems.push_back("journal: the record of \"" + ToUtf8(entry.label) +
                                  "\" could not be written back into the document");
        continue;
      }
      ++report.rewritten;
    }
    TreeNode& parent = ParentOf(store, tree, entry);
    NodeData data;
    data.offset = offset;
    const int image = static_cast<int>(entry.image);
    if (entry.firstChild) tree.InsertFirstChild(parent, entry.label, image, data);
    else tree.InsertLastChild(parent, entry.label, image, data);
    if (&parent == store.RecycleBin()) tree.SetImage(parent, kImageBinFull);
    named.insert(offset);
    store.NoteFiledTicket(entry.ticket, offset);
    ++report.applied;
  }
  if (report.applied != 0) store.SetTreeChanged();
  return report;
}

}  // namespace brevalo
