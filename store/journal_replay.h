// Applying a document's journal to the tree read from its index: each entry puts its node back
// where the message was filed, so that what was durable before a crash is there after it.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "store/folder_tree.h"
#include "store/journal_format.h"
#include "store/journal_reader.h"

namespace brevalo {

class MessageStore;

struct JournalReplayReport {
  size_t pending = 0;    // entries written against the index the document opened with
  size_t applied = 0;    // nodes put into the tree
  size_t rewritten = 0;  // of those, records the document had lost and got back from the journal
  // What could not be used: damage at the journal's end, entries that could not be applied. The
  // document opens all the same.
  std::vector<std::string> problems;
};

// Applies the entries of `contents` when they were written against `base`; otherwise they are
// in the index already and nothing happens. A node whose record some node of the tree names
// already is not added twice. Marks the tree changed when anything was applied.
JournalReplayReport ReplayJournal(MessageStore& store, FolderTree& tree,
                                  const JournalContents& contents, const JournalBase& base);

}  // namespace brevalo
