#include "channel/channel_reader.h"

#include "device/kernel_wait.h"

namespace brevalo {

ChannelReader::ChannelReader(std::unique_ptr<ChannelObjects> objects)
    : objects_(std::move(objects)) {
  StoreRunning(Buffer(), 1);
  // Messages stored before the program started may have had their signal taken by nobody, or
  // by an event that died with the library's last handle; the first pass must see them anyway.
  if (Buffer()->count > 0) objects_->available->Set();
}

ChannelReader::~ChannelReader() { StoreRunning(Buffer(), 0); }

std::unique_ptr<ChannelReader> ChannelReader::Open(const Device& device) {
  auto objects = ChannelObjects::Open(device);
  if (objects == nullptr) return nullptr;
  return std::unique_ptr<ChannelReader>(new ChannelReader(std::move(objects)));
}

void ChannelReader::Run(const Consumer& consumer) {
  for (;;) {
    Pass pass = ReceiveOnce(INFINITE, consumer);
    if (pass == Pass::kStopped || pass == Pass::kFailed) return;
  }
}

ChannelReader::Pass ChannelReader::ReceiveOnce(uint32_t timeoutMs, const Consumer& consumer) {
  uint32_t woken = objects_->available->Wait(timeoutMs);
  if (woken == WAIT_TIMEOUT) return Pass::kTimedOut;
  if (woken != WAIT_OBJECT_0) return Pass::kFailed;
  uint32_t locked = objects_->mutex->Wait(INFINITE);
  if (locked != WAIT_OBJECT_0 && locked != WAIT_ABANDONED) return Pass::kFailed;
  if (stop_.load()) {
    objects_->mutex->Release();
    return Pass::kStopped;
  }
  ChannelBuffer* buffer = Buffer();
  // Another layout's side reads these bytes otherwise; repairing its head would wipe its ring.
  if (ChannelLayoutIsForeign(*buffer)) {
    objects_->mutex->Release();
    return Pass::kHandled;
  }
  // Indices out of range would read beyond the ring; nothing in such a head can be trusted.
  if (!ChannelHeadIsSound(*buffer)) ResetChannelHead(buffer);
  while (buffer->count > 0) {
    uint32_t slot = buffer->readIndex;
    if (!consumer(ReadChannelSlot(buffer->slots[slot]))) break;
    buffer->readIndex = (slot + 1) % kChannelCapacity;
    --buffer->count;
  }
  objects_->mutex->Release();
  return Pass::kHandled;
}

void ChannelReader::Stop() {
  StoreRunning(Buffer(), 0);
  stop_.store(true);
  objects_->available->Set();
}

void ChannelReader::Wake() { objects_->available->Set(); }

bool ChannelReader::AnswerDelete(uint64_t ticket) {
  if (ticket == 0) return false;
  // The ticket goes first: the library reads it when the event wakes it.
  StoreAnswerTicket(Buffer(), ticket);
  return objects_->deleteAnswer->Set();
}

}  // namespace brevalo
