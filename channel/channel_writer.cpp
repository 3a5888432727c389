#include "channel/channel_writer.h"

#include <chrono>

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

uint64_t ChannelWriter::Put(std::u16string_view body, std::u16string_view sender,
                            const FILETIME& deliveryTime) {
  uint32_t locked = objects_->mutex->Wait(INFINITE);
  if (locked != WAIT_OBJECT_0 && locked != WAIT_ABANDONED) return 0;
  ChannelBuffer* buffer = Buffer();
  // Taken over by a side of another layout since Open: its ring is not ours to write.
  if (ChannelLayoutIsForeign(*buffer)) {
    objects_->mutex->Release();
    return 0;
  }
  // A holder that died in the middle of an update, or a program that wrote nonsense, must not
  // send this write outside the ring.
  if (!ChannelHeadIsSound(*buffer)) ResetChannelHead(buffer);
  uint64_t ticket = 0;
  if (buffer->count < kChannelCapacity) {
    uint32_t slot = buffer->writeIndex;
    ticket = IssueTicket(buffer);
    WriteChannelSlot(&buffer->slots[slot], ticket, body, sender, deliveryTime);
    buffer->writeIndex = (slot + 1) % kChannelCapacity;
    ++buffer->count;
  }
  objects_->mutex->Release();
  objects_->deleteAnswer->Reset();
  objects_->available->Set();
  return ticket;
}

bool ChannelWriter::ProgramRunning() const { return LoadRunning(Buffer()) == 1; }

bool ChannelWriter::AwaitDeleteAnswer(uint64_t ticket, uint32_t timeoutMs) {
  if (ticket == 0) return false;
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  uint32_t remainingMs = timeoutMs;
  for (;;) {
    if (objects_->deleteAnswer->Wait(remainingMs) != WAIT_OBJECT_0) return false;
    if (LoadAnswerTicket(Buffer()) == ticket) return true;
    // An answer for another message: a late one for a message the program took after this
    // side stopped waiting for it. This message's answer may still come before the deadline.
    if (timeoutMs == INFINITE) continue;
    auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return false;
    remainingMs = static_cast<uint32_t>(left);
  }
}

ChannelWriter::HandOverResult ChannelWriter::HandOver(std::u16string_view body,
                                                      std::u16string_view sender,
                                                      const FILETIME& deliveryTime,
                                                      uint32_t timeoutMs) {
  HandOverResult result;
  result.ticket = Put(body, sender, deliveryTime);
  result.stored = result.ticket != 0;
  result.programRunning = ProgramRunning();
  if (result.stored && result.programRunning) {
    result.deleteAnswered = AwaitDeleteAnswer(result.ticket, timeoutMs);
  }
  return result;
}

}  // namespace brevalo
