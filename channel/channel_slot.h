// Filling and reading one ChannelSlot. The slot lives in memory that another process writes,
// so reading trusts none of its bytes: fields without a terminator end at the field's end, and
// lengths and flags that disagree with the text mark it as not whole.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "channel/channel_buffer.h"
#include "channel/slot_message.h"
#include "device/system_time.h"

namespace brevalo {

// Copies the message into `slot` under `ticket`. A text stops at its first zero unit. One that
// fits its field goes whole; a longer one is cut to 40959 body or 1023 sender units (one less
// where the last would be the first half of a surrogate pair) and its cut flag is set. The
// length fields keep the text's own length, and the rest of each field is cleared.
void WriteChannelSlot(ChannelSlot* slot, uint64_t ticket, std::u16string_view body,
                      std::u16string_view sender, const FILETIME& deliveryTime);

// Decodes the 84000 bytes at `bytes`. REQUIRES: `bytes` holds at least sizeof(ChannelSlot) bytes.
SlotMessage ReadChannelSlot(const unsigned char* bytes);
// Decodes any byte string: false (and `out` untouched) when it is shorter than a slot.
bool ReadChannelSlot(const unsigned char* bytes, size_t size, SlotMessage* out);
SlotMessage ReadChannelSlot(const ChannelSlot& slot);

}  // namespace brevalo
