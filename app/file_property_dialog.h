// The document's properties: its author (editable), when it was built and last changed.
#pragma once

#include <cstdint>

#include "store/store_format.h"

namespace brevalo {

class PhoneScreen;

// Modal. True on OK with the header changed in place (the author in `codePage`, cut to its
// 16-byte field, and the password its "Password..." button set); false on Cancel with the
// header untouched.
bool RunFilePropertyDialog(PhoneScreen& screen, StoreHeader& header, uint32_t codePage);

}  // namespace brevalo
