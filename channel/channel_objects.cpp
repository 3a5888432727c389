#include "channel/channel_objects.h"

#include <atomic>

#include "device/kernel_wait.h"

namespace brevalo {

bool ChannelHeadIsSound(const ChannelBuffer& buffer) {
  if (buffer.layoutTag != kChannelLayoutTag || buffer.capacity != kChannelCapacity ||
      buffer.count > kChannelCapacity || buffer.writeIndex >= kChannelCapacity ||
      buffer.readIndex >= kChannelCapacity) {
    return false;
  }
  uint32_t distance = (buffer.writeIndex + kChannelCapacity - buffer.readIndex) % kChannelCapacity;
  if (distance == 0) return buffer.count == 0 || buffer.count == kChannelCapacity;
  return buffer.count == distance;
}

bool ChannelLayoutIsForeign(const ChannelBuffer& buffer) {
  return buffer.layoutTag != 0 && buffer.layoutTag != kChannelLayoutTag;
}

void ResetChannelHead(ChannelBuffer* buffer) {
  buffer->count = 0;
  buffer->writeIndex = 0;
  buffer->readIndex = 0;
  buffer->capacity = kChannelCapacity;
  buffer->layoutTag = kChannelLayoutTag;
}

uint32_t LoadRunning(ChannelBuffer* buffer) {
  return std::atomic_ref<uint32_t>(buffer->running).load(std::memory_order_acquire);
}

void StoreRunning(ChannelBuffer* buffer, uint32_t value) {
  std::atomic_ref<uint32_t>(buffer->running).store(value, std::memory_order_release);
}

uint64_t IssueTicket(ChannelBuffer* buffer) {
  std::atomic_ref<uint64_t> next(buffer->nextTicket);
  uint64_t ticket = next.load(std::memory_order_relaxed) + 1;
  // 0 stands for "no message": after the wrap-around the count starts again at 1.
  if (ticket == 0) ticket = 1;
  next.store(ticket, std::memory_order_relaxed);
  return ticket;
}

uint64_t LoadAnswerTicket(ChannelBuffer* buffer) {
  return std::atomic_ref<uint64_t>(buffer->answerTicket).load(std::memory_order_acquire);
}

void StoreAnswerTicket(ChannelBuffer* buffer, uint64_t ticket) {
  std::atomic_ref<uint64_t>(buffer->answerTicket).store(ticket, std::memory_order_release);
}

bool ChannelObjects::BufferExisted() const { return mapping->LastError() == ERROR_ALREADY_EXISTS; }

std::unique_ptr<ChannelObjects> ChannelObjects::Open(const Device& device) {
  auto objects = std::make_unique<ChannelObjects>();
  // An existing mapping smaller than this layout's buffer is refused here, before any byte of it
  // is read: it was made by a side built for another layout.
  objects->mapping = NamedMapping::Create(device, kSmsBufferName, sizeof(ChannelBuffer));
  objects->mutex = NamedMutex::Create(device, kSmsDataMutexName, false);
  objects->available = NamedEvent::Create(device, kSmsAvailableEventName, false, false);
  objects->deleteAnswer = NamedEvent::Create(device, kSmsDeleteEventName, false, false);
  if (!objects->mapping || !objects->mutex || !objects->available || !objects->deleteAnswer) {
    return nullptr;
  }
  uint32_t locked = objects->mutex->Wait(INFINITE);
  if (locked != WAIT_OBJECT_0 && locked != WAIT_ABANDONED) return nullptr;
  ChannelBuffer* buffer = objects->Buffer();
  bool foreign = ChannelLayoutIsForeign(*buffer);
  // A fresh mapping is zeroed, so running already reads 0 there. A buffer that exists without a
  // tag yet is one whose creator has not taken the mutex so far: it is as empty as a fresh one.
  if (!foreign && (!objects->BufferExisted() || !ChannelHeadIsSound(*buffer))) {
    ResetChannelHead(buffer);
  }
  objects->mutex->Release();
  if (foreign) return nullptr;
  return objects;
}

}  // namespace brevalo
