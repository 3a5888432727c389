// Reading a document's journal. A journal cut off by a crash or damaged on disk is read up to
// its last whole entry; what lies behind it is reported with the reason and never stops the
// document from opening.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "store/journal_format.h"
#include "store/store_file.h"

namespace brevalo {

struct JournalDamage {
  uint64_t offset = 0;   // where the unreadable bytes start
  uint64_t dropped = 0;  // how many bytes from there to the end were not used
  std::string reason;
};

struct JournalContents {
  // Nothing for a missing or empty journal, and for one whose header is unreadable.
  std::optional<JournalBase> base;
  std::vector<JournalEntry> entries;
  uint64_t end = 0;  // behind the last whole entry: where the next one goes
  std::optional<JournalDamage> damage;
};

JournalContents ReadJournal(const uint8_t* bytes, size_t size);
// Reads the whole file; a file that cannot be read is reported as damage.
JournalContents ReadJournal(StoreFile& file);

}  // namespace brevalo
