#include "app/open_document.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <optional>
#include <vector>

#include "store/document_filing.h"
#include "store/node_title.h"
#include "store/sender_field.h"

namespace brevalo {
namespace {

// Post-order without recursion, so that a deep tree read from a damaged file cannot exhaust the
// stack. Only counts and marks that differ are written: each write tells the tree's observer.
uint32_t RecountSubtree(FolderTree& tree, TreeNode& top) {
  struct Frame {
    TreeNode* node;
    size_t next;
    uint32_t sum;
  };
  std::vector<Frame> stack{{&top, 0, 0}};
  uint32_t result = 0;
  while (!stack.empty()) {
    Frame& frame = stack.back();
    if (frame.next < frame.node->ChildCount()) {
      TreeNode* child = frame.node->Child(frame.next++);
      stack.push_back({child, 0, 0});
      continue;
    }
    TreeNode* node = frame.node;
    uint32_t sum = frame.sum;
    stack.pop_back();
    if (node != &tree.Root()) {
      if (node->Image() == kImageUnread) ++sum;
      NodeData data = node->Data();
      data.unread = static_cast<uint16_t>(sum);
      if (!(data == node->Data())) tree.SetData(*node, data);
      // A recount only adds bold marks; reading and deleting take them away.
      if (sum != 0 && !node->Bold()) tree.SetBold(*node, true);
    }
    if (stack.empty()) result = sum;
    else stack.back().sum += sum;
  }
  return result;
}

}  // namespace

OpenDocument::OpenDocument(StoreFileSystem& files, IndexOffsetMemory& offsets,
                           const CodePage& codePage)
    : files_(files), offsets_(offsets), codePage_(codePage), store_(files, offsets, codePage) {}

void OpenDocument::Reset() {
  special_ = {};
  clipboard_ = nullptr;
  clipboardIsCut_ = false;
}

// ---- open, new, save, close ------------------------------------------------------------------

namespace {

// Reads the document at `path` into `store` and `loaded`; anything but kOpened leaves `store`
// closed.
OpenOutcome ReadDocument(MessageStore& store, std::u16string_view path, FolderTree& loaded) {
  if (!store.Open(path)) {
    const bool locked = store.LastOpenError() == StoreOpenError::kLocked;
    store.Close();
    return locked ? OpenOutcome::kLocked : OpenOutcome::kCannotOpen;
  }
  // Every document carries the signature; without it the bytes are something else, and
  // reading a tree from them would only show noise and invite a save over the file.
  if (std::memcmp(store.Header().signature, kSignature, kSignatureSize) != 0) {
    store.Close();
    return OpenOutcome::kNotADocument;
  }
  if (!store.LoadIndex(loaded)) {
    store.Close();
    return OpenOutcome::kDamaged;
  }
  return OpenOutcome::kOpened;
}

}  // namespace

OpenOutcome OpenDocument::Open(std::u16string_view path) {
  ApplicationLockHold hold(lock_);
  if (store_.IsOpen()) return OpenOutcome::kCannotOpen;
  // The tree is built and counted apart and then shown at once, which spares the view a
  // change notice for every node of a large document.
  FolderTree loaded;
  OpenOutcome outcome = ReadDocument(store_, path, loaded);
  if (outcome != OpenOutcome::kOpened) return outcome;
  RecountSubtree(loaded, loaded.Root());
  tree_.ReplaceWith(loaded);
  Reset();
  if (store_.FellBack()) KeepFallBackCopy(path);
  // Messages that only the journal held are in the tree now, which is marked changed: the next
  // save folds them into the index and empties the journal. Until then the journal also tells
  // which tickets were filed, so a message the channel hands over again is not filed twice.
  return OpenOutcome::kOpened;
}

OpenOutcome OpenDocument::Probe(std::u16string_view path) {
  // The open document itself opens again once it is closed; a second handle on it could not
  // take its lock.
  if (store_.IsOpen() && path == store_.Path()) return OpenOutcome::kOpened;
  MessageStore probe(files_, offsets_, codePage_);
  FolderTree loaded;
  return ReadDocument(probe, path, loaded);
}

bool OpenDocument::New(std::u16string_view path, const StoreHeader& headerTemplate,
                       bool withRecycleBin) {
  ApplicationLockHold hold(lock_);
  if (store_.IsOpen()) return false;
  if (!store_.Create(path, headerTemplate)) {
    store_.Close();
    return false;
  }
  tree_.Clear();
  Reset();
  if (withRecycleBin) ToggleRecycleBin();
  // Each is inserted first, so the top level reads Inbox, Sent Box, Drafts.
  for (int index : {kDrafts, kSentBox, kInbox}) SpecialFolder(index);
  store_.SetTreeChanged();
  // Written at once: the folder records are in the file, and a crash now must not leave a
  // document whose tree forgot them. A failed write is tried again by the next save.
  Save();
  return true;
}

bool OpenDocument::Save() {
  ApplicationLockHold hold(lock_);
  if (!store_.IsOpen()) return true;
  return store_.Save(tree_);
}

bool OpenDocument::Close() {
  ApplicationLockHold hold(lock_);
  if (!store_.IsOpen()) return true;
  // What only the tree in memory holds (moves, deletions, read marks) would be gone with it.
  if (!store_.Save(tree_)) return false;
  Forsake();
  return true;
}

void OpenDocument::CloseWithoutSaving() {
  ApplicationLockHold hold(lock_);
  if (store_.IsOpen()) Forsake();
}

void OpenDocument::Forsake() {
  store_.Close();
  tree_.Clear();
  Reset();
  fallBackCopy_.reset();
}

void OpenDocument::KeepFallBackCopy(std::u16string_view path) {
  // The next save makes the header name a new index; the copy keeps naming the damaged one, and
  // the older index is remembered for it, so a reader of the copy falls back the same way and
  // finds what lies between the two.
  fallBackCopy_ = std::u16string();
  const std::u16string base = std::u16string(path) + u".recover";
  for (int number = 1; number <= kMaxFallBackCopies; ++number) {
    std::u16string candidate = base;
    if (number > 1) candidate += FromUtf8(std::to_string(number));
    if (files_.IdentityOf(candidate)) continue;
    if (files_.Copy(path, candidate)) {
      offsets_.Remember(candidate, store_.FellBack()->used);
      fallBackCopy_ = candidate;
      // With the copy safe, the next save makes the header name the tree that is shown, so the
      // next open reads it without falling back again.
      store_.SetHeaderChanged();
    }
    return;
  }
}

CompressResult OpenDocument::Compress(
    const std::function<bool(const std::u16string&)>& askContinue) {
  ApplicationLockHold hold(lock_);
  CompressResult result = store_.Compress(tree_, askContinue);
  Reset();
  if (!store_.IsOpen()) {
    tree_.Clear();
    return result;
  }
  // Counted apart, as on Open; the nodes stay where they are while they move between trees.
  FolderTree counted;
  counted.ReplaceWith(tree_);
  RecountSubtree(counted, counted.Root());
  tree_.ReplaceWith(counted);
  return result;
}

// ---- unread counts ---------------------------------------------------------------------------

uint32_t OpenDocument::Recount(TreeNode* node) {
  return RecountSubtree(tree_, node ? *node : tree_.Root());
}

void OpenDocument::AddUnread(TreeNode& node, int delta) {
  for (TreeNode* current = &node; current && current != &tree_.Root(); current = current->Parent()) {
    NodeData data = current->Data();
    data.unread = static_cast<uint16_t>(data.unread + delta);
    tree_.SetData(*current, data);
    bool bold = data.unread != 0;
    if (current->Bold() != bold) tree_.SetBold(*current, bold);
  }
}

uint32_t OpenDocument::UnreadTotal() const {
  uint32_t total = 0;
  const TreeNode& root = tree_.Root();
  for (size_t row = 0; row < root.ChildCount(); ++row) total += root.Child(row)->Data().unread;
  return total;
}

void OpenDocument::MarkRead(TreeNode& message) {
  if (message.Image() != kImageUnread) return;
  tree_.SetImage(message, kImageRead);
  AddUnread(message, -1);
  store_.SetTreeChanged();
}

// ---- nodes -----------------------------------------------------------------------------------

bool OpenDocument::Within(const TreeNode& node, const TreeNode& ancestor) {
  for (const TreeNode* current = &node; current; current = current->Parent()) {
    if (current == &ancestor) return true;
  }
  return false;
}

bool OpenDocument::InRecycleBin(const TreeNode& node) const {
  return RecycleBin() && Within(node, *RecycleBin());
}

void OpenDocument::Forget(const TreeNode& node) {
  for (TreeNode*& cached : special_) {
    if (cached == &node) cached = nullptr;
  }
  if (clipboard_ == &node) clipboard_ = nullptr;
  if (store_.RecycleBin() == &node) store_.SetRecycleBin(nullptr);
}

void OpenDocument::RemoveNode(TreeNode& node) {
  if (&node == &tree_.Root()) return;
  if (node.Data().unread != 0) AddUnread(node, -static_cast<int>(node.Data().unread));
  tree_.Remove(node, [this](TreeNode& gone) { Forget(gone); });
}

TreeNode* OpenDocument::FindOrCreateFolder(std::u16string_view path, FolderPlacement placement) {
  ApplicationLockHold hold(lock_);
  TreeNode* folder = nullptr;
  if (!brevalo::FindOrCreateFolder(store_, tree_, path, placement, &folder)) {
    return nullptr;
  }
  return folder;
}

TreeNode* OpenDocument::SpecialFolder(int index) {
  if (index < 0 || index >= static_cast<int>(special_.size())) return nullptr;
  TreeNode*& cached = special_[static_cast<size_t>(index)];
  if (!cached) cached = FindOrCreateFolder(kSpecialFolderPaths[static_cast<size_t>(index)]);
  return cached;
}

void OpenDocument::UpdateRecycleBinPicture() {
  TreeNode* bin = RecycleBin();
  if (!bin) return;
  int image = bin->ChildCount() > 0 ? kImageBinFull : kImageBinEmpty;
  if (bin->Image() != image) tree_.SetImage(*bin, image);
}

TreeNode* OpenDocument::AddNode(TreeNode* parent, std::u16string title, int image,
                                std::u16string_view text) {
  ApplicationLockHold hold(lock_);
  if (!store_.IsOpen()) return nullptr;
  uint32_t offset = AppendMessageRecord(store_, codePage_, u"", CurrentOleDate(), text);
  if (offset == 0) return nullptr;
  if (title.size() > kTitleCapacity) title.resize(kTitleCapacity);
  NodeData data;
  data.offset = offset;
  TreeNode& added = tree_.InsertFirstChild(parent ? *parent : tree_.Root(), std::move(title), image, data);
  store_.SetTreeChanged();
  UpdateRecycleBinPicture();
  return &added;
}

bool OpenDocument::RecordHolds(uint32_t offset, std::u16string_view number, DATE date,
                               std::u16string_view text) {
  return store_.ReadRecord(offset) && store_.RecordNumber() == number &&
         store_.Record().date == date && store_.ReadBodyText() == std::u16string(text);
}

FiledMessage OpenDocument::FileReceived(const FilingPlace& place, std::u16string title,
                                        std::u16string_view sender, DATE date,
                                        std::u16string_view text, uint64_t ticket) {
  ApplicationLockHold hold(lock_);
  FiledMessage result;
  if (!store_.IsOpen()) return result;
  result.documentOpen = true;
  const SenderField number = FitSenderToNumberField(codePage_, sender);
  result.exact = number.exact && CodePageHolds(codePage_, text);
  // Tickets start again with a new channel, so the record must be this very message too.
  std::optional<uint32_t> filed = store_.OffsetFiledFor(ticket);
  if (filed && RecordHolds(*filed, number.text, date, text)) {
    result.again = true;
    result.written = true;
    return result;
  }
  TreeNode* folder = nullptr;
  if (place.target == JournalTarget::kRecycleBin) {
    folder = RecycleBin();
  } else if (!brevalo::FindOrCreateFolder(store_, tree_, place.folderPath, FolderPlacement::kFirstChild,
                                          &folder, FolderJournaling::kJournal)) {
    // A folder that cannot be written leaves the message at the top level rather than nowhere.
    folder = nullptr;
  }
  NodeData data;
  data.offset = AppendMessageRecord(store_, codePage_, number.text, date, text);
  if (data.offset == 0) return result;
  if (title.size() > kTitleCapacity) title.resize(kTitleCapacity);
  JournalEntry entry;
  entry.target = folder != nullptr ? place.target : JournalTarget::kFolderPath;
  entry.folderPath = folder != nullptr ? place.folderPath : u"";
  entry.label = title;
  entry.image = kImageUnread;
  entry.offset = data.offset;
  entry.ticket = ticket;
  TreeNode& node = tree_.InsertFirstChild(folder ? *folder : tree_.Root(), std::move(title), kImageUnread, data);
  AddUnread(node, 1);
  store_.SetTreeChanged();
  UpdateRecycleBinPicture();
  result.node = &node;
  result.written = store_.JournalAppended(std::move(entry));
  return result;
}

FiledMessage OpenDocument::AddImported(TreeNode& parent, std::u16string title,
                                       std::u16string_view sender, DATE date,
                                       std::u16string_view text) {
  ApplicationLockHold hold(lock_);
  FiledMessage result;
  result.documentOpen = store_.IsOpen();
  if (!result.documentOpen) return result;
  const SenderField number = FitSenderToNumberField(codePage_, sender);
  const uint32_t offset = AppendMessageRecord(store_, codePage_, number.text, date, text);
  if (offset == 0) return result;
  result.exact = number.exact && CodePageHolds(codePage_, text);
  title.resize(std::min(title.size(), kTitleCapacity));
  result.node = &tree_.InsertFirstChild(parent, std::move(title), kImageRead, NodeData{offset, 0, 0});
  store_.SetTreeChanged();
  return result;
}

// ---- commands --------------------------------------------------------------------------------

bool OpenDocument::Delete(TreeNode& node) {
  TreeNode* bin = RecycleBin();
  if (&node == bin || &node == &tree_.Root()) return false;
  // A node that holds the bin cannot move into it: it goes for good, bin and all.
  if (bin && !Within(node, *bin) && !Within(*bin, node)) {
    CopySubtree(node, *bin);
    Recount(bin);
  }
  RemoveNode(node);
  store_.SetTreeChanged();
  UpdateRecycleBinPicture();
  return true;
}

TreeNode& OpenDocument::CopySubtree(const TreeNode& source, TreeNode& target) {
  store_.SetTreeChanged();
  return tree_.CopySubtree(source, target);
}

bool OpenDocument::SetClipboard(TreeNode& node, bool cut) {
  if (&node == RecycleBin() || &node == &tree_.Root()) return false;
  clipboard_ = &node;
  clipboardIsCut_ = cut;
  return true;
}

bool OpenDocument::Paste(TreeNode& target) {
  TreeNode* source = clipboard_;
  if (!source || Within(target, *source) || IsMessageImage(target.Image())) return false;
  if (source->Data().unread != 0) AddUnread(target, source->Data().unread);
  CopySubtree(*source, target);
  if (clipboardIsCut_) RemoveNode(*source);
  clipboard_ = nullptr;
  UpdateRecycleBinPicture();
  store_.SetTreeChanged();
  return true;
}

void OpenDocument::DeleteChildren(TreeNode& folder) {
  while (folder.ChildCount() > 0) RemoveNode(*folder.Child(folder.ChildCount() - 1));
}

void OpenDocument::EmptyFolder(TreeNode& folder) {
  while (folder.ChildCount() > 0) {
    TreeNode& child = *folder.Child(0);
    TreeNode* bin = RecycleBin();
    if (bin && !Within(child, *bin) && !Within(*bin, child)) CopySubtree(child, *bin);
    RemoveNode(child);
  }
  if (RecycleBin()) Recount(RecycleBin());
  store_.SetTreeChanged();
  UpdateRecycleBinPicture();
}

bool OpenDocument::EmptyRecycleBin() {
  TreeNode* bin = RecycleBin();
  if (!bin) return false;
  DeleteChildren(*bin);
  UpdateRecycleBinPicture();
  store_.SetTreeChanged();
  return true;
}

bool OpenDocument::ToggleRecycleBin() {
  ApplicationLockHold hold(lock_);
  store_.SetTreeChanged();
  if (TreeNode* bin = RecycleBin()) {
    RemoveNode(*bin);
    return false;
  }
  TreeNode& bin = tree_.InsertLastChild(tree_.Root(), std::u16string(kRecycleBinLabel),
                                        kImageBinEmpty, NodeData{});
  store_.SetRecycleBin(&bin);
  return true;
}

// ---- export ----------------------------------------------------------------------------------

std::optional<std::string> OpenDocument::ExportEntryOf(
    const TreeNode& node, const std::function<std::u16string(DATE)>& dateText) {
  if (!store_.ReadRecord(node.Data().offset)) return std::nullopt;
  std::optional<std::u16string> body = store_.ReadBodyText();
  if (!body) return std::nullopt;
  return ExportEntry(codePage_, dateText(store_.Record().date), store_.RecordNumber(), *body);
}

ExportOutcome OpenDocument::ExportTxt(const TreeNode& node, std::u16string_view path,
                                      const std::function<std::u16string(DATE)>& dateText) {
  std::string text;
  if (IsMessageImage(node.Image())) {
    std::optional<std::string> entry = ExportEntryOf(node, dateText);
    if (!entry) return ExportOutcome::kCannotRead;
    text = std::move(*entry);
  } else {
    for (size_t row = 0; row < node.ChildCount(); ++row) {
      const TreeNode& child = *node.Child(row);
      if (!IsMessageImage(child.Image())) continue;
      // A protected message stays out of a folder's export; unreadable ones are skipped too.
      if (!store_.ReadRecord(child.Data().offset) || !store_.RecordPassword().empty()) continue;
      if (std::optional<std::string> entry = ExportEntryOf(child, dateText)) text += *entry;
    }
  }
  std::unique_ptr<StoreFile> file = files_.Open(path, StoreOpenMode::kCreateTruncate);
  if (!file) return ExportOutcome::kCannotWrite;
  bool written = (text.empty() || file->WriteAt(0, text.data(), text.size())) && file->Flush();
  return written ? ExportOutcome::kDone : ExportOutcome::kCannotWrite;
}

}  // namespace brevalo
