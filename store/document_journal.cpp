#include "store/document_journal.h"

#include <vector>

namespace brevalo {

std::u16string DocumentJournal::PathFor(std::u16string_view documentPath) {
  return std::u16string(documentPath) + std::u16string(kJournalSuffix);
}

JournalContents DocumentJournal::Attach(std::u16string_view documentPath, JournalAccess access) {
  Detach();
  path_ = PathFor(documentPath);
  access_ = access;
  file_ = files_.Open(path_, access == JournalAccess::kRead ? StoreOpenMode::kReadOnly
                                                           : StoreOpenMode::kReadWrite);
  if (!file_) return {};
  JournalContents contents = ReadJournal(*file_);
  base_ = contents.base;
  end_ = contents.base ? contents.end : 0;
  return contents;
}

void DocumentJournal::Detach() {
  file_.reset();
  path_.clear();
  base_.reset();
  end_ = 0;
}

// Emptied first and headed after: a crash between the two leaves an empty file, never a new
// header over entries that the index holds already.
bool DocumentJournal::Begin(const JournalBase& base) {
  base_.reset();
  end_ = 0;
  file_ = files_.Open(path_, StoreOpenMode::kCreateTruncate);
  if (!file_) return false;
  uint8_t header[kJournalHeaderSize];
  EncodeJournalHeader(base, header);
  if (!file_->WriteAt(0, header, sizeof header) || !file_->Sync()) return false;
  base_ = base;
  end_ = kJournalHeaderSize;
  return true;
}

bool DocumentJournal::Append(const JournalBase& base, const JournalEntry& entry) {
  if (!Attached() || access_ == JournalAccess::kRead) return false;
  if (!file_ || base_ != base) {
    if (!Begin(base)) return false;
  }
  std::vector<uint8_t> bytes = EncodeJournalEntry(entry);
  if (!file_->WriteAt(end_, bytes.data(), bytes.size()) || !file_->Sync()) return false;
  end_ += bytes.size();
  return true;
}

bool DocumentJournal::Restart(const JournalBase& base) {
  if (!Attached() || !file_ || access_ == JournalAccess::kRead) return true;
  if (base_ == base && !HasEntries()) return true;
  return Begin(base);
}

bool DocumentJournal::AtItsPath() { return file_ && files_.StillNames(path_, *file_); }

}  // namespace brevalo
