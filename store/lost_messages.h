// The messages a document still holds but no longer shows after its newest index could not be
// read: their records lie in the file between the older index the tree was read from and the
// damaged one, since the file only ever grows. They are found by walking that stretch item by
// item; an item that reads neither as a record nor as an index ends the walk.
#pragma once

#include <cstdint>
#include <vector>

#include "store/message_store.h"

namespace brevalo {

struct LostMessageScan {
  std::vector<uint32_t> messages;  // record offsets, oldest first
  uint32_t from = 0;               // the first byte behind the older index
  uint32_t to = 0;                 // the damaged index
  // Where an unreadable item ended the walk before `to`; 0 when the whole stretch was read.
  uint32_t stoppedAt = 0;
};

// Walks the stretch of a document that fell back to an older index (MessageStore::FellBack).
// Folder records are passed over; a record with a body or a sender is a message. Nothing is
// found when the document did not fall back.
LostMessageScan FindLostMessages(MessageStore& store);

}  // namespace brevalo
