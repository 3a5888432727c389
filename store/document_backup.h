// A document's messages as backup entries: what kind each one is (received, sent, draft, waiting
// to go), where it is filed, and its text as the user wrote or received it.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "device/system_time.h"
#include "store/folder_tree.h"
#include "store/message_store.h"
#include "store/sms_backup.h"

namespace brevalo {

struct BackupNaming {
  // The date as the device shows it; may be empty.
  std::function<std::u16string(DATE)> readableDate;
  // The contact's name for a number; empty when none is known. May be empty.
  std::function<std::u16string(std::u16string_view number)> contactName;
};

bool IsMessageImage(int image);

// "\Work\Boss" for a message filed there, "\" for one at the top level.
std::u16string FolderPathOf(const TreeNode& message);

// True when the node is the recycle bin or lies in it.
bool InRecycleBin(const MessageStore& store, const TreeNode& node);

// The entry for one message node; nothing when its record or text cannot be read.
std::optional<BackupMessage> BackupMessageOf(MessageStore& store, const TreeNode& message,
                                             const BackupNaming& naming);

}  // namespace brevalo
