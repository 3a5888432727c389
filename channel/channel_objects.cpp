#include "channel/channel_objects.h"

#include <atomic>

#include "device/kernel_wait.h"

namespace brevalo {

bool ChannelHeadIsSound(const ChannelBuffer& buffer) {
  if (buffer.capacity != kChannelCapacity || buffer.count > kChannelCapacity ||
      buffer.writeIndex >= kChannelCapacity || buffer.readIndex >= kChannelCapacity) {
    return false;
  }
  uint32_t distance = (buffer.writeIndex + kChannelCapacity - buffer.readIndex) % kChannelCapacity;
  if (distance == 0) return buffer.count == 0 || buffer.count == kChannelCapacity;
  return buffer.count == distance;
}

void ResetChannelHead(ChannelBuffer* buffer) {
  buffer->count = 0;
  buffer->writeIndex = 0;
  buffer->readIndex = 0;
  buffer->capacity = kChannelCapacity;
}

uint32_t LoadRunning(ChannelBuffer* buffer) {
  return std::atomic_ref<uint32_t>(buffer->running).load(std::memory_order_acquire);
}

void StoreRunning(ChannelBuffer* buffer, uint32_t value) {
  std::atomic_ref<uint32_t>(buffer->running).store(value, std::memory_order_release);
}

bool ChannelObjects::BufferExisted() const { return mapping->LastError() == ERROR_ALREADY_EXISTS; }

std::unique_ptr<ChannelObjects> ChannelObjects::Open(const Device& device) {
  auto objects = std::make_unique<ChannelObjects>();
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
  // A fresh mapping is zeroed, so running already reads 0 there.
  if (!objects->BufferExisted() || !ChannelHeadIsSound(*buffer)) ResetChannelHead(buffer);
  objects->mutex->Release();
  return objects;
}

}  // namespace brevalo
