// One message as the channel hands it over: decoded from its slot, owned, and safe to keep
// after the slot has been reused.
#pragma once

#include <string>

#include "device/system_time.h"

namespace brevalo {

struct SlotMessage {
  std::u16string body;
  std::u16string sender;
  FILETIME deliveryTime{};
};

}  // namespace brevalo
