// The journal of one open document: the messages filed since its last save, each made durable by
// one append and one sync, so that a message is safe long before the next save writes the whole
// index. The journal file is created by the first entry, emptied after every save, and read
// when the document is opened again (journal_format.h has its bytes).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "store/journal_format.h"
#include "store/journal_reader.h"
#include "store/store_file.h"

namespace brevalo {

// A reader of a document reads its journal and never writes it; only the document's writer does.
enum class JournalAccess { kWrite, kRead };

class DocumentJournal {
 public:
  // The file system must outlive the journal.
  explicit DocumentJournal(StoreFileSystem& files) : files_(files) {}
  DocumentJournal(const DocumentJournal&) = delete;
  DocumentJournal& operator=(const DocumentJournal&) = delete;

  static std::u16string PathFor(std::u16string_view documentPath);

  // Reads the journal of the document at `documentPath` (none is fine); a writer keeps it open
  // for appending behind its last whole entry. The document's writer lock covers the journal.
  JournalContents Attach(std::u16string_view documentPath, JournalAccess access);
  // Forgets the file; nothing is written.
  void Detach();
  bool Attached() const { return !path_.empty(); }

  // Appends `entry` and syncs it. A journal that is missing, or whose entries belong to
  // another base, is begun anew with `base` first. False when any write or the sync failed;
  // the entry may then be in the file or not, and must not be relied on.
  bool Append(const JournalBase& base, const JournalEntry& entry);
  // Empties the journal and gives it `base`, once everything in it is in the document's index.
  // Nothing to do, and true, when there is no journal file or it holds no entry of another
  // base.
  bool Restart(const JournalBase& base);
  // True when the journal path still names the file the entries went to.
  bool AtItsPath();
  bool HasEntries() const { return end_ > kJournalHeaderSize; }

 private:
  bool Begin(const JournalBase& base);

  StoreFileSystem& files_;
  std::u16string path_;
  JournalAccess access_ = JournalAccess::kWrite;
  std::unique_ptr<StoreFile> file_;
  std::optional<JournalBase> base_;
  uint64_t end_ = 0;
};

}  // namespace brevalo
