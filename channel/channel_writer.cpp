#include "channel/channel_writer.h"

#include "channel/channel_slot.h"
#include "device/kernel_wait.h"

namespace brevalo {

ChannelWriter::ChannelWriter(std::unique_ptr<ChannelObjects> objects)
    : objects_(std::move(objects)) {}

std::unique_ptr<ChannelWriter> ChannelWriter::Open(const Device& device) {
  auto objects = ChannelObjects::Open(device);
  if (objects == nullptr) return nullptr;
  return std::unique_ptr<ChannelWriter>(new ChannelWriter(std::move(objects)));
}

bool ChannelWriter::Put(std::u16string_view body, std::u16string_view sender,
                        const FILETIME& deliveryTime) {
  uint32_t locked = objects_->mutex->Wait(INFINITE);
  if (locked != WAIT_OBJECT_0 && locked != WAIT_ABANDONED) return false;
  ChannelBuffer* buffer = Buffer();
  // A holder that died in the middle of an update, or a program that wrote nonsense, must not
  // send this write outside the ring.
  if (!ChannelHeadIsSound(*buffer)) ResetChannelHead(buffer);
  bool stored = buffer->count < kChannelCapacity;
  if (stored) {
    uint32_t slot = buffer->writeIndex;
    WriteChannelSlot(&buffer->slots[slot], body, sender, deliveryTime);
    buffer->writeIndex = (slot + 1) % kChannelCapacity;
    ++buffer->count;
  }
  objects_->mutex->Release();
  objects_->deleteAnswer->Reset();
  objects_->available->Set();
  return stored;
}

bool ChannelWriter::ProgramRunning() const { return LoadRunning(Buffer()) == 1; }

bool ChannelWriter::AwaitDeleteAnswer(uint32_t timeoutMs) {
  return objects_->deleteAnswer->Wait(timeoutMs) == WAIT_OBJECT_0;
}

ChannelWriter::HandOverResult ChannelWriter::HandOver(std::u16string_view body,
                                                      std::u16string_view sender,
                                                      const FILETIME& deliveryTime,
                                                      uint32_t timeoutMs) {
  HandOverResult result;
  result.stored = Put(body, sender, deliveryTime);
  result.programRunning = ProgramRunning();
  if (result.programRunning) result.deleteAnswered = AwaitDeleteAnswer(timeoutMs);
  return result;
}

}  // namespace brevalo
