// The objects behind the message store's interfaces, over one open PhoneDatabase. Objects of
// one session share its database connection and are used by one thread at a time (the
// messaging service's thread, or the program's window thread during an import).
#pragma once

#include <memory>

#include "device/mapi_interfaces.h"
#include "device/phone_database.h"

namespace brevalo {

// Each returns an object holding one reference, or nullptr when memory ran out.
IMAPISession* NewMapiSession(std::shared_ptr<PhoneDatabase> database);
IMsgStore* NewMapiStore(std::shared_ptr<PhoneDatabase> database, PhoneStore store);

}  // namespace brevalo
