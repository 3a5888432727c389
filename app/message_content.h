// One stored message or note of the open document as the view window reads and edits it: its
// number, date, password and text behind a tree node, the edits saved back (a changed text
// replaces or removes the stored content, a changed title renames the node) and the messages
// beside it in its folder. Plain C++ over OpenDocument.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "app/open_document.h"

namespace brevalo {

struct StoredMessage {
  std::u16string number;    // the sender, or the recipients' place of a note; may be empty
  DATE date = 0;
  std::u16string password;  // the node's own password; empty when it has none
  std::u16string text;      // empty when the record carries no content
};

// The message behind `node`; nothing when its record or its body cannot be read.
std::optional<StoredMessage> ReadStoredMessage(OpenDocument& document, const TreeNode& node);

struct MessageEdits {
  std::optional<std::u16string> title;  // set when the title was changed
  std::optional<std::u16string> text;   // set when the text was changed; empty removes it
};

// Writes the edits under the application lock: a non-empty text becomes the node's new
// record (the node takes its offset), an empty one clears the stored content, a title renames
// the node (cut to a title's capacity). Either marks the tree changed. False, with nothing
// renamed, when the record could not be written.
bool SaveMessageEdits(OpenDocument& document, TreeNode& node, const MessageEdits& edits);

// The sibling before or after `node` in its folder; null at the first or last one.
TreeNode* PreviousSibling(const TreeNode& node);
TreeNode* NextSibling(const TreeNode& node);

}  // namespace brevalo
