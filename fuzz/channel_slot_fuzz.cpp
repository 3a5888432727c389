// What the program reads out of the shared buffer was written by another process and may hold
// anything. Input: the 40 bytes of a buffer's head, then up to five slots as fuzz/slot_image.h
// describes them. Every slot is decoded on its own, then the program's pass follows the ring.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "channel/channel_objects.h"
#include "channel/channel_slot.h"
#include "fuzz/slot_image.h"

namespace {

using namespace brevalo;

void Check(bool condition) {
  if (!condition) std::abort();
}

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }

// What a cut of `text` to a field of `units` units keeps.
size_t KeptByACut(const std::u16string& text, size_t units) {
  size_t keep = units - 1;
  return IsHighSurrogate(text[keep - 1]) ? keep - 1 : keep;
}

void CheckField(const std::u16string& read, bool whole, uint32_t statedLength, size_t units,
                const std::u16string& again, bool againWhole) {
  Check(read.size() <= units);
  Check(read.find(u'\0') == std::u16string::npos);
  // Whole means terminated inside the field and as long as the writer said.
  if (whole) Check(read.size() < units && read.size() == statedLength);
  // Writing what was read gives it back whole when it fits, else cut without half a pair.
  if (read.size() < units) {
    Check(again == read && againWhole);
  } else {
    Check(!againWhole && again.size() == KeptByACut(read, units));
    Check(read.compare(0, again.size(), again) == 0);
  }
}

void CheckSlot(const ChannelSlot& slot, ChannelSlot* scratch) {
  SlotMessage message = ReadChannelSlot(slot);
  WriteChannelSlot(scratch, message.ticket, message.body, message.sender, message.deliveryTime);
  SlotMessage again = ReadChannelSlot(*scratch);
  Check(again.ticket == message.ticket);
  Check(again.deliveryTime.dwLowDateTime == message.deliveryTime.dwLowDateTime &&
        again.deliveryTime.dwHighDateTime == message.deliveryTime.dwHighDateTime);
  CheckField(message.body, message.bodyWhole, slot.bodyLength, kSlotBodyUnits, again.body,
             again.bodyWhole);
  CheckField(message.sender, message.senderWhole, slot.senderLength, kSlotSenderUnits,
             again.sender, again.senderWhole);
  Check(scratch->body[kSlotBodyUnits - 1] == u'\0' && scratch->sender[kSlotSenderUnits - 1] == u'\0');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const auto buffer = std::make_unique<ChannelBuffer>();
  static const auto scratch = std::make_unique<ChannelSlot>();
  // A whole slot's bytes, as they would be in the buffer, are refused only for being short.
  SlotMessage unused;
  Check(ReadChannelSlot(data, size, &unused) == (data != nullptr && size >= sizeof(ChannelSlot)));

  fuzz::InputCursor input(data, size);
  input.Copy(buffer.get(), offsetof(ChannelBuffer, slots));
  for (ChannelSlot& slot : buffer->slots) {
    fuzz::LaySlot(input, &slot);
    CheckSlot(slot, scratch.get());
  }
  // The program's pass over a buffer of unknown origin: another layout's is left alone; ours is
  // repaired if need be, then followed round the ring.
  if (ChannelLayoutIsForeign(*buffer)) return 0;
  if (!ChannelHeadIsSound(*buffer)) ResetChannelHead(buffer.get());
  Check(ChannelHeadIsSound(*buffer) && !ChannelLayoutIsForeign(*buffer));
  while (buffer->count > 0) {
    Check(buffer->readIndex < kChannelCapacity);
    ReadChannelSlot(buffer->slots[buffer->readIndex]);
    buffer->readIndex = (buffer->readIndex + 1) % kChannelCapacity;
    --buffer->count;
  }
  return 0;
}
