// The properties of one message node: its author (at most 15 characters kept), the date it
// was created and, behind its "Password..." button, its password.
#pragma once

#include <cstdint>

#include "store/store_format.h"

namespace brevalo {

class PhoneScreen;

// Modal. True when the dialog closed with the record changed; the record is updated in place
// (the author in `codePage`). False when nothing changed or on Cancel.
bool RunNodePropertyDialog(PhoneScreen& screen, StoreRecord& record, uint32_t codePage);

}  // namespace brevalo
