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
  // Names the message in the delete answer. 0 names none: such a message cannot be deleted.
  uint64_t ticket = 0;
  // False when the text is not all the phone has: the writer had to cut it to its field, or the
  // slot's bytes do not agree with each other. The phone's copy is then the only whole one.
  bool bodyWhole = true;
  bool senderWhole = true;
};

}  // namespace brevalo
