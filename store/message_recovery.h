// Brings lost messages back (lost_messages.h): each one found is copied, record and text, into a
// folder of a document, the same one or another, as an unread message at the folder's end. A
// message the folder holds already (same sender, date and text) is not copied again, so a
// recovery may be run twice.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "device/code_page.h"
#include "device/system_time.h"
#include "store/folder_tree.h"
#include "store/lost_messages.h"
#include "store/message_store.h"

namespace brevalo {

struct RecoveryResult {
  size_t copied = 0;
  size_t alreadyThere = 0;
  size_t unreadable = 0;  // found, but the text could not be read back
  bool written = true;    // false when a folder or record could not be written
};

// `source` and `target` may be the same store. The target's tree is marked changed; saving it
// is the caller's. `timeText` turns a record's date into the text a title shows.
RecoveryResult RecoverLostMessages(MessageStore& source, const LostMessageScan& scan,
                                   MessageStore& target, FolderTree& targetTree,
                                   std::u16string_view folderPath, const CodePage& page,
                                   const std::function<std::u16string(DATE)>& timeText);

}  // namespace brevalo
