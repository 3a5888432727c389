// What the program reads out of the shared buffer was written by another process and may hold
// anything. Input: the bytes of one slot, or of a whole buffer (head and five slots).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "channel/channel_objects.h"
#include "channel/channel_slot.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

void CheckSlot(const brevalo::SlotMessage& message) {
  using namespace brevalo;
  Check(message.body.size() <= kSlotBodyUnits);
  Check(message.sender.size() <= kSlotSenderUnits);
  // Writing what was read keeps a terminated prefix of it inside the fields.
  ChannelSlot slot{};
  WriteChannelSlot(&slot, message.body, message.sender, message.deliveryTime);
  Check(slot.body[kSlotBodyUnits - 1] == u'\0' && slot.sender[kSlotSenderUnits - 1] == u'\0');
  SlotMessage again = ReadChannelSlot(slot);
  Check(again.body.size() < kSlotBodyUnits && again.sender.size() < kSlotSenderUnits);
  Check(message.body.compare(0, again.body.size(), again.body) == 0);
  Check(message.sender.compare(0, again.sender.size(), again.sender) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace brevalo;
  SlotMessage message;
  if (ReadChannelSlot(data, size, &message)) CheckSlot(message);

  if (size >= sizeof(ChannelBuffer)) {
    ChannelBuffer buffer;
    std::memcpy(&buffer, data, sizeof buffer);
    // The program's pass over a buffer of unknown origin: repair, then follow the ring.
    if (!ChannelHeadIsSound(buffer)) ResetChannelHead(&buffer);
    Check(ChannelHeadIsSound(buffer));
    while (buffer.count > 0) {
      Check(buffer.readIndex < kChannelCapacity);
      CheckSlot(ReadChannelSlot(buffer.slots[buffer.readIndex]));
      buffer.readIndex = (buffer.readIndex + 1) % kChannelCapacity;
      --buffer.count;
    }
  }
  return 0;
}
