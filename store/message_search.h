// Finding messages in a document: a text matched without regard to case in the body, the number
// and the title, narrowed by folder, number and date. Reads every candidate's record and text,
// so it sees exactly what the document holds, pending messages from the journal included.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "device/system_time.h"
#include "store/folder_tree.h"
#include "store/message_store.h"

namespace brevalo {

struct SearchQuery {
  std::u16string text;        // empty: every message that the other conditions let through
  std::u16string folder;      // only below this folder path ("\Work"); empty: everywhere
  std::u16string from;        // only messages whose number or recipients hold this
  std::optional<DATE> since;  // only messages of this moment or later
};

struct SearchHit {
  const TreeNode* node = nullptr;
  std::u16string folder;  // "\Work\Boss", "\" at the top level
  std::u16string title;
  std::u16string number;  // the sender, or the recipients of a sent message
  DATE date = 0;
  std::u16string line;    // the line of the text that matches; the first line otherwise
};

struct SearchResult {
  bool ok = false;
  std::string error;
  std::vector<SearchHit> hits;
  int leftOut = 0;     // messages the caller may not read (protected)
  int unreadable = 0;  // records or texts that cannot be read
};

// `mayRead` says whether a message may be shown (passwords); null lets every one through.
// Messages in the recycle bin are not searched.
SearchResult SearchMessages(MessageStore& store, FolderTree& tree, const SearchQuery& query,
                            const std::function<bool(const TreeNode&)>& mayRead);

}  // namespace brevalo
