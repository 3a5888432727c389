// The two operations of the import on the phone's own message store, each a complete session of
// its own (settings/phone_store_session.h): listing a folder into ImportEntry rows, and deleting
// messages that the document now holds.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "settings/import_entry.h"

namespace brevalo {

// Appends one entry per message of the folder (0 inbox, 2 sent items), in the store's order,
// each unticked with its two display lines. The text is the subject of an inbox message and the
// body of a sent one, whole; a property that cannot be read stays empty and the row is still
// listed. Returns the number of rows added, or -1 when the session, the folder or its table
// failed (the rows added until then stay).
int ListPhoneFolder(int folderType, const ImportClock& clock, std::vector<ImportEntry>* out);

// Deletes the message with that entry id through the folder of `folderType`. True only when the
// store deleted it.
bool DeletePhoneMessage(std::span<const uint8_t> entryId, int folderType);

// The same for many messages of one folder in one session; deleted[i] tells for ids[i]. Returns
// how many went.
size_t DeletePhoneMessages(int folderType, const std::vector<std::span<const uint8_t>>& ids,
                           std::vector<bool>* deleted);

}  // namespace brevalo
