// "KVT_SMSDeleteEvent", through which the program tells the rule-client library to delete the
// message just handed over. The program holds it for its whole run, from the start, so that
// the library finds it unsignalled.
#pragma once

#include <memory>

#include "device/device_paths.h"
#include "device/named_event.h"

namespace brevalo {

// Auto-reset, not signalled; nothing when it cannot be made.
std::unique_ptr<NamedEvent> CreateDeleteEvent(const Device& device);

}  // namespace brevalo
