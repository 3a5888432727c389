// Memory the message store hands to its callers. A buffer from MAPIAllocateBuffer may have
// further buffers chained to it with MAPIAllocateMore (the strings and binaries of a property
// array); one MAPIFreeBuffer of the first frees them all. A row set from QueryRows holds one
// such buffer per row and is freed with FreeProws.
//
// The bookkeeping sits in front of each buffer, not in a table of this process, so a buffer
// allocated by one copy of this code (the messaging service) can be freed by another (a rule
// client library that links its own copy).
#pragma once

#include "device/mapi_types.h"

namespace brevalo {

// S_OK and *buffer, or MAPI_E_NOT_ENOUGH_MEMORY and nullptr. Buffers are aligned for any type.
SCODE MAPIAllocateBuffer(ULONG size, void** buffer);
// Chains a buffer to `parent`, a buffer of MAPIAllocateBuffer or one chained to it; it is freed
// with the first. MAPI_E_INVALID_PARAMETER when `parent` is none of ours.
SCODE MAPIAllocateMore(ULONG size, void* parent, void** buffer);
// Frees a buffer of MAPIAllocateBuffer and everything chained to it. Nothing happens for
// nullptr (S_OK) or for a chained buffer, which its first frees (MAPI_E_INVALID_PARAMETER).
ULONG MAPIFreeBuffer(void* buffer);
// Frees every row's properties, then the row set; nullptr is allowed.
void FreeProws(SRowSet* rows);

}  // namespace brevalo
