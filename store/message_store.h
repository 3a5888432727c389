// The one open document: its file, header and the record read or built last, the two change flags,
// and the operations that read and write records, bodies and the index. Text handed in and out is
// UTF-16; the store converts it to the device's code page at the file.
//
// Durability: bytes go to the system after every record, body and index part; the new index is
// synced to stable storage before the header that names it is written, and the header is synced
// after it. A file cut off anywhere therefore opens with a complete tree, the newest whose header
// reached the disk or an older one.
//
// Between saves, a filed message is made durable by its journal (document_journal.h): the record
// and body go to the document as usual, unsynced, and one entry with the node's place in the tree
// and a copy of those bytes goes to the journal beside it, synced. Holding one message thus costs
// its own size and one sync, not the whole index. LoadIndex applies the journal's entries on top
// of the index they were written against (writing back the bytes of any record the document lost
// with its unsynced tail), and every successful Save empties the journal, as the index then names
// every node. The document's own bytes never change format for this.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "device/code_page.h"
#include "store/document_journal.h"
#include "store/folder_tree.h"
#include "store/index_offset_memory.h"
#include "store/journal_replay.h"
#include "store/store_file.h"
#include "store/store_format.h"

namespace brevalo {

struct StoredBody;

inline constexpr std::u16string_view kRecycleBinLabel = u"Recycle Bin";

enum class CompressResult {
  kNotOpen,         // no document: nothing happened
  kDone,            // compacted, copied back and reopened
  kSaveFailed,      // the document could not be saved first; nothing else happened
  kCompactFailed,   // "Compressing file error!"; the ban file is gone, the document still open
  kCancelled,       // the bak copy failed and the user said Cancel; the document is closed
  kCopyBackFailed,  // the document is closed; the ban and bak files remain
  kReopenFailed,    // copied back, but the document would not open again
};

// How a document is opened: a writer holds the document's writer lock (and so its journal) for
// as long as it is open; a reader takes no lock and writes nothing.
enum class StoreAccess { kWrite, kRead };

enum class StoreOpenError {
  kNone,
  kCannotOpen,  // missing, not a file, or no permission
  kShort,       // shorter than a header
  kLocked,      // another writer has it open
};

class MessageStore {
 public:
  // Everything passed in must outlive the store.
  MessageStore(StoreFileSystem& files, IndexOffsetMemory& offsets, const CodePage& codePage);
  ~MessageStore();
  MessageStore(const MessageStore&) = delete;
  MessageStore& operator=(const MessageStore&) = delete;

  // ---- the lock: every operation takes it; the owner may take it again ----
  void Lock();
  void Unlock();  // does nothing when the lock is not held
  int LockDepth() const { return lockDepth_; }

  // ---- open and close ----
  void Reset();
  // False when a document is open already, the file will not open, its header is short, or (for
  // a writer) another writer holds it; LastOpenError says which.
  bool Open(std::u16string_view path, StoreAccess access = StoreAccess::kWrite);
  // Creates or empties the file, as a writer; the header is `headerTemplate` with both dates
  // now, the signature, version 3 and index offset 120; writes it and an empty index head. A
  // file another writer holds is left as it is.
  bool Create(std::u16string_view path, const StoreHeader& headerTemplate);
  StoreOpenError LastOpenError() const { return openError_; }
  bool ReadOnly() const { return access_ == StoreAccess::kRead; }
  bool IsOpen() const { return isOpen_; }
  void Close();
  const std::u16string& Path() const { return path_; }
  std::optional<uint64_t> FileSize();

  // ---- records and bodies; offsets are 0 on failure (no record lives at 0) ----
  bool ReadRecord(uint32_t offset);
  // The ANSI text of the body behind the record read last, with its zero byte as stored; empty
  // when the record has no body or its format carries none; nothing when the body is unreadable.
  std::optional<std::string> ReadBody();
  // The same as UTF-16, up to the first zero byte.
  std::optional<std::u16string> ReadBodyText();
  uint32_t AppendRecord();
  uint32_t AppendRecord(const StoreRecord& record);
  // `ansiText` carries its terminating zero byte. The record is written with format 3 and the
  // has-body flag set, as the body behind it is always compressed.
  uint32_t AppendRecordWithBody(std::string_view ansiText);
  uint32_t AppendRecordWithBody(std::string_view ansiText, const StoreRecord& record);
  uint32_t RewriteRecord(uint32_t offset);
  // With text: appends the current record with the text as its body and returns the new offset
  // (the node must be pointed at it). Without: clears has-body and rewrites at `oldOffset`.
  uint32_t UpdateMessage(const std::u16string* text, uint32_t oldOffset);

  const StoreRecord& Record() const { return record_; }
  StoreRecord& MutableRecord() { return record_; }

  // ---- text fields, converted at the field's bound ----
  void SetRecordNumber(std::u16string_view number);
  void SetRecordAuthor(std::u16string_view author);
  void SetRecordPassword(std::u16string_view password);
  std::u16string RecordNumber() const;
  std::u16string RecordAuthor() const;
  std::u16string RecordPassword() const;

  const StoreHeader& Header() const { return header_; }
  // These mark the header changed.
  void SetAuthor(std::u16string_view author);
  void SetPassword(std::u16string_view password);
  std::u16string Author() const;
  std::u16string Password() const;

  // ---- the index ----
  // Writes a new index when the tree changed; true also when nothing had to be written. On
  // failure the tree stays marked changed and the header keeps naming the previous index.
  bool SaveIndex(const FolderTree& tree);
  // Writes the header when it changed. False when the write failed; it stays marked changed.
  bool WriteHeader();
  // Saves the document: SaveIndex, then WriteHeader, then the journal is emptied. False also
  // when there was something to save and the file open here is no longer the one at the
  // document's path (deleted or replaced meanwhile): what was written there reaches no reader,
  // and the tree stays marked changed.
  bool Save(const FolderTree& tree);
  // Set by LoadIndex when the header's index could not be read and the remembered, older one
  // was read instead: what was filed or changed after the older one is missing from the tree.
  struct IndexFallBack {
    uint32_t damaged = 0;  // the index the header names
    uint32_t used = 0;     // the older index the tree was read from
  };
  const std::optional<IndexFallBack>& FellBack() const { return fellBack_; }
  // The bytes an appended record takes with its body at `offset`; nothing unless they read as
  // one (format 3 or 4, a plausible date, a whole body).
  std::optional<uint32_t> AppendedRecordExtent(uint32_t offset);
  // The bytes of the index block at `offset`; nothing unless it reads as one.
  std::optional<uint32_t> IndexExtent(uint32_t offset);
  // Replaces `tree` with the tree of the header's index, or of the remembered one when that
  // cannot be read, or with an empty tree, and applies the journal's pending entries to it
  // (JournalReport tells what was found). Returns false only when a non-empty index was named
  // and none could be read.
  bool LoadIndex(FolderTree& tree);
  TreeNode* RecycleBin() const { return recycleBin_; }
  void SetRecycleBin(TreeNode* bin) { recycleBin_ = bin; }
  // The label shown for the recycle bin (the program's string table has it).
  void SetRecycleBinLabel(std::u16string label) { binLabel_ = std::move(label); }
  const std::u16string& RecycleBinLabel() const { return binLabel_; }

  // ---- the journal: messages filed since the last save ----
  // Makes the record appended last, with its body, durable as the node `entry` describes
  // (entry.offset must be that record's; the store adds a copy of its bytes): the entry is
  // appended to the journal and synced. True only when it is on disk and the document and its
  // journal are still the files their paths name, so that the next open of the path finds the
  // node. False changes nothing in the tree; the caller may still show the node.
  bool JournalAppended(JournalEntry entry);
  // What the last LoadIndex found in the journal.
  const JournalReplayReport& JournalReport() const { return journalReport_; }
  // The record of the incoming message with `ticket` that this document filed (journaled, or
  // read from the journal at open), for as long as the document stays open: a message the
  // channel hands over again after a crash is filed once.
  std::optional<uint32_t> OffsetFiledFor(uint64_t ticket) const;
  void NoteFiledTicket(uint64_t ticket, uint32_t offset);
  // True when the open document's path still names the file being written.
  bool AtItsPath();

  // ---- stored bytes, as the journal carries them ----
  // True when the document holds exactly `stored` at `offset`.
  bool Holds(uint32_t offset, const std::vector<uint8_t>& stored);
  // Appends a record with its body as they are (they carry their own key); 0 on failure.
  uint32_t AppendStored(const std::vector<uint8_t>& stored);

  bool TreeChanged() const { return treeChanged_; }
  void SetTreeChanged(bool changed = true) { treeChanged_ = changed; }
  bool HeaderChanged() const { return headerChanged_; }
  void SetHeaderChanged(bool changed = true) { headerChanged_ = changed; }
  const IndexHead& Index() const { return index_; }

  // ---- reading many records ----
  // While a scope lives, the store is held for its owner's thread and records and bodies are
  // read through a window read ahead in one piece: a reader that goes through many records in
  // file order saves a system call or two per record.
  class ReadAheadScope {
   public:
    explicit ReadAheadScope(MessageStore& store);
    ~ReadAheadScope();
    ReadAheadScope(const ReadAheadScope&) = delete;
    ReadAheadScope& operator=(const ReadAheadScope&) = delete;

   private:
    MessageStore& store_;
    std::unique_ptr<StoreFile> window_;
  };

  // ---- compaction ----
  // Writes a file that holds one record per node of `tree` (and its body) and one index. The
  // source is not changed; the nodes keep their offsets.
  bool CompactTo(std::u16string_view newPath, const FolderTree& tree);
  // Saves, compacts into path + ".ban", keeps the old file as path + ".bak", copies the ban file
  // back and reopens the document into `tree`. When the bak copy fails, `askContinue` is asked
  // "Backup file error! Do you want to continue?" and false (Cancel) stops.
  CompressResult Compress(FolderTree& tree,
                          const std::function<bool(const std::u16string&)>& askContinue);

 private:
  class Guard;
  uint32_t AppendEncoded(const StoreRecord& record);
  uint32_t AppendWithStoredBody(const StoreRecord& record, const StoredBody& body);
  bool WriteRecordAt(uint64_t offset, const StoreRecord& record);
  // Appends an index of `tree`; the table takes the record offsets from `offsets` (in pre-order)
  // when given, else from the nodes.
  bool WriteIndex(const FolderTree& tree, const std::vector<uint32_t>* offsets,
                  uint32_t* indexOffset);
  std::optional<uint64_t> AppendPosition(uint64_t size);
  bool CopyNode(MessageStore& target, const TreeNode& node, uint32_t* newOffset);
  JournalBase CurrentBase() const;
  void NoteAppended(uint64_t offset, const uint8_t* bytes, size_t size);

  StoreFileSystem& files_;
  IndexOffsetMemory& offsets_;
  const CodePage& codePage_;
  std::recursive_mutex mutex_;
  int lockDepth_ = 0;

  std::unique_ptr<StoreFile> file_;
  StoreAccess access_ = StoreAccess::kWrite;
  StoreOpenError openError_ = StoreOpenError::kNone;
  StoreFile* reader_ = nullptr;  // what records and bodies are read through: file_, or a window
  std::u16string path_;
  bool isOpen_ = false;
  TreeNode* recycleBin_ = nullptr;
  bool treeChanged_ = false;
  bool headerChanged_ = false;
  StoreRecord record_;
  uint64_t bodyOffset_ = 0;  // where the body of record_ starts; 0 when no record was read
  StoreHeader header_;
  IndexHead index_;
  std::u16string binLabel_{kRecycleBinLabel};
  std::optional<IndexFallBack> fellBack_;
  uint32_t diskIndexOffset_ = 0;  // what the header in the file names
  DocumentJournal journal_;
  JournalReplayReport journalReport_;
  std::unordered_map<uint64_t, uint32_t> filedTickets_;
  // The bytes of the record (and body) appended last, for its journal entry.
  uint64_t appendedAt_ = 0;
  std::vector<uint8_t> appended_;
};

}  // namespace brevalo
