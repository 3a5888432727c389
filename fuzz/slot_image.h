// Fuzz input laid out as channel slots. A slot is 84000 bytes, far more than a fuzzer mutates
// well, so each slot comes from a short description instead:
//
//   32 bytes  the fixed fields as they stand: ticket, deliveryTime, bodyLength, senderLength,
//             flags, reserved
//   1 byte    bit 0: fill the whole sender field with `unit` first (so it has no terminator),
//             bit 1: the same for the body field
//   2 bytes   unit
//   2 bytes   n, then n bytes copied to the start of the sender field (at most the field)
//   2 bytes   m, then m bytes copied to the start of the body field (at most the field)
//
// Bytes past the end of the input read as 0. Shared by the fuzz targets that read slots.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "channel/channel_buffer.h"

namespace brevalo::fuzz {

class InputCursor {
 public:
  InputCursor(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
  uint16_t Le16() { return static_cast<uint16_t>(Byte() | Byte() << 8); }
  // Copies up to `count` bytes to `out` and zeroes what the input lacks.
  void Copy(void* out, size_t count) {
    size_t have = std::min(count, size_ - at_);
    if (have > 0) std::memcpy(out, data_ + at_, have);
    std::memset(static_cast<uint8_t*>(out) + have, 0, count - have);
    at_ += have;
  }
  // UTF-16 units up to a zero unit or the end of the input.
  std::u16string Text() {
    std::u16string text;
    while (at_ + 1 < size_) {
      char16_t unit = Le16();
      if (unit == 0) break;
      text += unit;
    }
    return text;
  }
  size_t Left() const { return size_ - at_; }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};

// REQUIRES: `field` holds `units` units.
inline void LayField(InputCursor& input, bool fill, char16_t unit, char16_t* field, size_t units) {
  std::fill(field, field + units, fill ? unit : u'\0');
  size_t bytes = std::min<size_t>(input.Le16(), std::min(units * 2, input.Left()));
  input.Copy(field, bytes);
}

// Fills all of `slot` from the description at `input`.
inline void LaySlot(InputCursor& input, ChannelSlot* slot) {
  input.Copy(slot, offsetof(ChannelSlot, sender));
  uint8_t fill = input.Byte();
  char16_t unit = input.Le16();
  LayField(input, (fill & 1) != 0, unit, slot->sender, kSlotSenderUnits);
  LayField(input, (fill & 2) != 0, unit, slot->body, kSlotBodyUnits);
}

}  // namespace brevalo::fuzz
