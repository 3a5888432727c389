// The open document of the program: the store, its folder tree, the recycle bin, the four cached
// special folders, the clipboard of Copy and Cut, and the application lock. Every change of the
// tree that a command, filing or the import makes goes through here, so that the unread counts,
// the bold marks, the recycle bin's picture and the tree's change flag stay right. Plain C++; the
// main window shows the tree through an item model that observes it.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "app/application_lock.h"
#include "device/code_page.h"
#include "device/system_time.h"
#include "store/document_filing.h"
#include "store/folder_tree.h"
#include "store/index_offset_memory.h"
#include "store/message_store.h"
#include "store/store_file.h"

namespace brevalo {

enum class OpenOutcome {
  kOpened,
  kCannotOpen,     // the file is missing, cannot be opened for writing, or shorter than a header
  kNotADocument,   // the header carries no document signature
  kDamaged,        // the header names an index that cannot be read, and no earlier one can
  kLocked,         // another program (kvt, a second velmora) has it open for writing
};

enum class ExportOutcome {
  kDone,
  kCannotWrite,    // the text file could not be created or written
  kCannotRead,     // the selected message's record or body cannot be read; nothing was written
};

// The special folders by index, and the paths by which they are found or created.
enum SpecialFolderIndex : int { kSentBox = 0, kOutbox = 1, kInbox = 2, kDrafts = 3 };
inline constexpr std::array<std::u16string_view, 4> kSpecialFolderPaths = {
    u"\\Sent Box", u"\\Outbox", u"\\Inbox", u"Drafts"};

// Where a received message goes.
struct FilingPlace {
  JournalTarget target = JournalTarget::kFolderPath;
  std::u16string folderPath;  // from the top, "\Work\Boss"; empty for the top level
};

struct FiledMessage {
  bool documentOpen = false;
  TreeNode* node = nullptr;  // the new node; null when nothing could be written or `again`
  bool written = false;      // on disk, in the file the document's path names
  bool exact = false;        // every character and the sender's whole number kept
  // The message was filed before (the channel handed it over again after the program ended
  // without taking it off): nothing new was written.
  bool again = false;
  // Only a message the document holds may leave the phone.
  bool Held() const { return written && exact; }
};

inline bool IsMessageImage(int image) { return image == kImageRead || image == kImageUnread; }

class OpenDocument {
 public:
  // Everything passed in must outlive the document.
  OpenDocument(StoreFileSystem& files, IndexOffsetMemory& offsets, const CodePage& codePage);
  OpenDocument(const OpenDocument&) = delete;
  OpenDocument& operator=(const OpenDocument&) = delete;

  ApplicationLock& Lock() { return lock_; }
  MessageStore& Store() { return store_; }
  FolderTree& Tree() { return tree_; }
  const FolderTree& Tree() const { return tree_; }
  bool IsOpen() const { return store_.IsOpen(); }
  const std::u16string& Path() const { return store_.Path(); }

  // ---- open, new, save, close ----
  // Reads the document with its tree and unread counts. Anything but kOpened leaves no document
  // open and the file as it was. Fails while a document is open.
  OpenOutcome Open(std::u16string_view path);
  // What Open would find at `path`, read apart: the open document is not touched.
  OpenOutcome Probe(std::u16string_view path);
  // Creates the file from the header template, with a recycle bin when asked, and the folders
  // Inbox, Sent Box and Drafts at the top. False leaves no document open.
  bool New(std::u16string_view path, const StoreHeader& headerTemplate, bool withRecycleBin);
  // Writes the index when the tree changed and the header when it changed. True without a
  // document.
  bool Save();
  // After Open fell back to an older index (MessageStore::FellBack): the copy of the file made
  // then, as it was, from which the messages behind the damaged index can still be recovered;
  // an empty path when the copy could not be made. Nothing without a fall-back.
  const std::optional<std::u16string>& FallBackCopy() const { return fallBackCopy_; }
  // Saves, closes the file and empties the tree; the clipboard and caches are forgotten. False
  // when the save failed: the document then stays open as it was, so that nothing the tree
  // alone holds is lost, and the caller decides.
  bool Close();
  // Closes without saving: the file keeps its last index, and the messages received since then
  // stay in its journal, which the next Open reads.
  void CloseWithoutSaving();
  // Compacts the file (MessageStore::Compress) and shows the compacted tree with its counts;
  // when the document ends up closed, the tree is empty.
  CompressResult Compress(const std::function<bool(const std::u16string&)>& askContinue);

  // ---- unread counts ----
  // Recounts the subtree of `node` (the whole tree for null) from the unread messages in it and
  // returns the sum; nodes whose count is not 0 become bold.
  uint32_t Recount(TreeNode* node = nullptr);
  // Adds `delta` to the count of `node` and of each ancestor, in 16 bits; a count that ends at
  // 0 clears the bold mark, any other sets it.
  void AddUnread(TreeNode& node, int delta);
  // The unread messages of the whole document.
  uint32_t UnreadTotal() const;
  // An unread message becomes read: image 2, one unread fewer up to the top.
  void MarkRead(TreeNode& message);

  // ---- nodes ----
  TreeNode* RecycleBin() const { return store_.RecycleBin(); }
  // True for the recycle bin and everything in it.
  bool InRecycleBin(const TreeNode& node) const;
  // Removes the node with its subtree from the tree, nothing else: its unread messages leave
  // the ancestors' counts, and caches, the clipboard and the recycle bin that pointed into it
  // are forgotten.
  void RemoveNode(TreeNode& node);
  // Components of `path` are introduced by backslashes; each one that matches no child exactly
  // becomes a new folder (a record of its own) at `placement`: the user's special folders come
  // first, the folders that filing makes last. Null for a path without components or when a
  // folder record cannot be written.
  TreeNode* FindOrCreateFolder(std::u16string_view path,
                               FolderPlacement placement = FolderPlacement::kFirstChild);
  // The cached folder of the index, found or created on first use; null for other indexes.
  TreeNode* SpecialFolder(int index);
  // Image 5 while the recycle bin holds something, else 4.
  void UpdateRecycleBinPicture();
  // Inserts a node the user made (a folder, a draft) as the first child of `parent` (the top
  // level for null) with a new record; a draft carries `text` as its body. Null when the record
  // cannot be written.
  TreeNode* AddNode(TreeNode* parent, std::u16string title, int image, std::u16string_view text);

  // Files a received message, newest first, into the place named: a record with the sender and
  // `date` and `text` as its body, image 3, one more unread up to the top, the tree marked
  // changed, and a synced journal entry naming `ticket`. Folders the path names are created
  // first in their parent when missing. A message whose record cannot be written gets no node
  // (a node would name nothing); one that is written is shown even when it is not held.
  FiledMessage FileReceived(const FilingPlace& place, std::u16string title,
                            std::u16string_view sender, DATE date, std::u16string_view text,
                            uint64_t ticket = 0);

  // An imported message: a record with the sender and `date`, `text` as its body, shown read
  // (image 2) as the first child of `parent`, the tree marked changed. Nothing goes to the
  // journal: the node is held once the document is saved. `exact` says whether the record keeps
  // the sender's whole number and every character of the text; no node when the record cannot
  // be written.
  FiledMessage AddImported(TreeNode& parent, std::u16string title, std::u16string_view sender,
                           DATE date, std::u16string_view text);

  // ---- commands ----
  // Moves the node into the recycle bin (a copy with its subtree), or deletes it for good when
  // it is inside the bin or there is none. Nothing for the recycle bin itself; false then.
  bool Delete(TreeNode& node);
  // A copy of `source` with its subtree as the last child of `target`; the copies share the
  // records and keep images, bold marks and counts.
  TreeNode& CopySubtree(const TreeNode& source, TreeNode& target);
  // Copy and Cut mark a node other than the recycle bin; false for the bin.
  bool SetClipboard(TreeNode& node, bool cut);
  TreeNode* Clipboard() const { return clipboard_; }
  bool ClipboardIsCut() const { return clipboardIsCut_; }
  // Puts the clipboard node under `target` (moved after Cut). False, changing nothing, when
  // nothing is marked, the target is the marked node or inside it, or the target is a message.
  bool Paste(TreeNode& target);
  // Every child of `folder` goes the way of Delete (into the recycle bin unless already there).
  void EmptyFolder(TreeNode& folder);
  // Deletes everything in the recycle bin for good; false when there is no bin.
  bool EmptyRecycleBin();
  // Adds an empty recycle bin at the bottom of the top level when there is none, else deletes
  // it with everything in it. Returns whether the document has a bin now.
  bool ToggleRecycleBin();

  // ---- export ----
  // Writes the message `node`, or the direct messages of the folder `node` that carry no
  // password of their own, as "Date:..\r\nSender:..\r\nContent:..\r\n" entries in the device's
  // code page into the file at `path` (created or emptied). `dateText` turns a record's date
  // into the text the user reads.
  ExportOutcome ExportTxt(const TreeNode& node, std::u16string_view path,
                          const std::function<std::u16string(DATE)>& dateText);

 private:
  // Runs before a node is removed: caches and the clipboard must not point at it.
  void Forget(const TreeNode& node);
  // Bookkeeping shared by the ways a node leaves the tree.
  void Removed(TreeNode& node);
  // The way to the top: whether `node` is `ancestor` or lies inside it.
  static bool Within(const TreeNode& node, const TreeNode& ancestor);
  void DeleteChildren(TreeNode& folder);
  // True when the record at `offset` is this message: number, date and text.
  bool RecordHolds(uint32_t offset, std::u16string_view number, DATE date, std::u16string_view text);
  std::optional<std::string> ExportEntryOf(const TreeNode& node,
                                           const std::function<std::u16string(DATE)>& dateText);
  void Reset();
  // Lets go of the file and empties the tree.
  void Forsake();
  // Copies the file at `path` to the first free "<path>.recover", "<path>.recover2", ...
  void KeepFallBackCopy(std::u16string_view path);
  static constexpr int kMaxFallBackCopies = 99;

  StoreFileSystem& files_;
  IndexOffsetMemory& offsets_;
  const CodePage& codePage_;
  ApplicationLock lock_;
  MessageStore store_;
  FolderTree tree_;
  std::array<TreeNode*, 4> special_{};
  TreeNode* clipboard_ = nullptr;
  bool clipboardIsCut_ = false;
  std::optional<std::u16string> fallBackCopy_;
};

}  // namespace brevalo
