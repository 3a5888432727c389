// Filing into an open document the way the program does it: folders found or created by a path
// such as "\Work\Boss", message records with their bodies, and the text of an exported
// message. Titles are built by node_title.h.
#pragma once

#include <string>
#include <string_view>

#include "device/code_page.h"
#include "device/system_time.h"
#include "store/folder_tree.h"
#include "store/message_store.h"

namespace brevalo {

enum class FolderPlacement { kFirstChild, kLastChild };

// Whether the folders that a path creates go to the document's journal as they are made: filing
// does that, so that a reader of the journal finds them without writing them anew.
enum class FolderJournaling { kNone, kJournal };

// The last folder of `path` that exists, matching labels exactly from the top level; null when
// not even the first component names a top-level node.
TreeNode* DeepestExistingFolder(FolderTree& tree, std::u16string_view path);

// The node `path` names, every component matching exactly from the top level; the root for a
// path without components ("" or "\"); null when a component is missing.
TreeNode* FindFolderPath(FolderTree& tree, std::u16string_view path);

// Walks the path's components from the top level, matching labels exactly, and creates each
// missing folder (a record of its own, image 1) at `placement`. *folder is the last one, or null
// for a path without components (the top level). False when a folder record cannot be written.
bool FindOrCreateFolder(MessageStore& store, FolderTree& tree, std::u16string_view path,
                        FolderPlacement placement, TreeNode** folder,
                        FolderJournaling journaling = FolderJournaling::kNone);

// Appends a message record (format 3, the number, the date) with `text` as its body when it has
// one. Returns the record's offset, 0 when it could not be written.
uint32_t AppendMessageRecord(MessageStore& store, const CodePage& page,
                             std::u16string_view number, DATE date, std::u16string_view text);

// "Date:%s\r\nSender:%s\r\nContent:\r\n%s\r\n" in the code page.
std::string ExportEntry(const CodePage& page, std::u16string_view dateText,
                        std::u16string_view sender, std::u16string_view body);

}  // namespace brevalo
