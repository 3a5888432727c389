// Filling and reading one ChannelSlot. The slot lives in memory that another process writes,
// so reading trusts none of its bytes: fields without a terminator end at the field's end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "channel/channel_buffer.h"
#include "channel/slot_message.h"
#include "device/system_time.h"

namespace brevalo {

// Copies the message into `slot`, cutting the body at 159 and the sender at 255 units so that
// both stay terminated inside their fields, and clears the rest of each field. A cut never
// leaves half of a surrogate pair behind.
void WriteChannelSlot(ChannelSlot* slot, std::u16string_view body, std::u16string_view sender,
                      const FILETIME& deliveryTime);

// Decodes the 840 bytes at `bytes`. REQUIRES: `bytes` holds at least sizeof(ChannelSlot) bytes.
SlotMessage ReadChannelSlot(const unsigned char* bytes);
// Decodes any byte string: false (and `out` untouched) when it is shorter than a slot.
bool ReadChannelSlot(const unsigned char* bytes, size_t size, SlotMessage* out);
SlotMessage ReadChannelSlot(const ChannelSlot& slot);

}  // namespace brevalo
