// One message as the channel hands it over: decoded from its slot, owned, and safe to keep
// after the slot has been reused.
#pragma once

#include <cstdint>
#include <string>

#include "device/system_time.h"

namespace brevalo {

struct SlotMessage {
  std::u16string body;
  std::u16string sender;
  FILETIME deliveryTime{};
  uint64_t ticket = 0;       // names the message in the program's delete answer
  bool bodyWhole = true;     // false when the body was cut to fit its field
  bool senderWhole = true;
};

}  // namespace brevalo
