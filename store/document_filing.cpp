#include "store/document_filing.h"

#include <algorithm>
#include <cstring>

#include "store/body_codec.h"

namespace brevalo {
namespace {

TreeNode* FindChild(TreeNode& parent, std::u16string_view label) {
  for (size_t row = 0; row < parent.ChildCount(); ++row) {
    if (parent.Child(row)->Label() == label) return parent.Child(row);
  }
  return nullptr;
}

uint32_t AppendFolderRecord(MessageStore& store) {
  StoreRecord record;
  record.format = kBodyCompressed;
  record.date = CurrentOleDate();
  return store.AppendRecord(record);
}

// A folder whose entry does not reach the journal is made again by the message's own entry.
void JournalFolder(MessageStore& store, std::u16string_view parentPath, std::u16string_view label,
                   FolderPlacement placement, uint32_t offset) {
  JournalEntry entry;
  entry.firstChild = placement == FolderPlacement::kFirstChild;
  entry.folderPath = std::u16string(parentPath);
  entry.label = std::u16string(label);
  entry.image = kImageFolder;
  entry.offset = offset;
  store.JournalAppended(std::move(entry));
}

}  // namespace

namespace {

// The node of the last component of `path` that exists, walking from the top level; *whole
// says whether every component did.
TreeNode* WalkExisting(FolderTree& tree, std::u16string_view path, bool* whole) {
  TreeNode* current = &tree.Root();
  *whole = true;
  for (size_t start = 0; start < path.size();) {
    size_t end = std::min(path.find(u'\\', start), path.size());
    std::u16string_view part = path.substr(start, end - start);
    start = end + 1;
    if (part.empty()) continue;
    TreeNode* child = FindChild(*current, part);
    if (child == nullptr) {
      *whole = false;
      break;
    }
    current = child;
  }
  return current;
}

}  // namespace

TreeNode* DeepestExistingFolder(FolderTree& tree, std::u16string_view path) {
  bool whole = false;
  TreeNode* deepest = WalkExisting(tree, path, &whole);
  return deepest == &tree.Root() ? nullptr : deepest;
}

TreeNode* FindFolderPath(FolderTree& tree, std::u16string_view path) {
  bool whole = false;
  TreeNode* deepest = WalkExisting(tree, path, &whole);
  return whole ? deepest : nullptr;
}

bool FindOrCreateFolder(MessageStore& store, FolderTree& tree, std::u16string_view path,
                        FolderPlacement placement, TreeNode** folder, FolderJournaling journaling) {
  *folder = nullptr;
  TreeNode* current = &tree.Root();
  size_t start = 0;
  while (start < path.size()) {
    size_t end = path.find(u'\\', start);
    if (end == std::u16string_view::npos) end = path.size();
    std::u16string_view part = path.substr(start, end - start);
    std::u16string_view parentPath = path.substr(0, start);
    start = end + 1;
    if (part.empty()) continue;
    TreeNode* child = FindChild(*current, part);
    if (child == nullptr) {
      uint32_t offset = AppendFolderRecord(store);
      if (offset == 0) return false;
      NodeData data;
      data.offset = offset;
      child = placement == FolderPlacement::kFirstChild
                  ? &tree.InsertFirstChild(*current, std::u16string(part), kImageFolder, data)
                  : &tree.InsertLastChild(*current, std::u16string(part), kImageFolder, data);
      store.SetTreeChanged();
      if (journaling == FolderJournaling::kJournal) {
        JournalFolder(store, parentPath, part, placement, offset);
      }
    }
    current = child;
  }
  if (current != &tree.Root()) *folder = current;
  return true;
}

uint32_t AppendMessageRecord(MessageStore& store, const CodePage& page,
                             std::u16string_view number, DATE date, std::u16string_view text) {
  StoreRecord record;
  record.format = kBodyCompressed;
  record.date = date;
  store.MutableRecord() = record;
  store.SetRecordNumber(number);
  if (text.empty()) {
    store.MutableRecord().hasBody = 0;
    return store.AppendRecord();
  }
  store.MutableRecord().hasBody = 1;
  return store.AppendRecordWithBody(BodyTextFromUtf16(page, text));
}

std::string ExportEntry(const CodePage& page, std::u16string_view dateText,
                        std::u16string_view sender, std::u16string_view body) {
  std::u16string entry = u"Date:";
  entry += dateText;
  entry += u"\r\nSender:";
  entry += sender;
  entry += u"\r\nContent:\r\n";
  entry += body;
  entry += u"\r\n";
  return page.FromUtf16(entry);
}

}  // namespace brevalo
