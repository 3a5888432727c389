#include "channel/unread_counter.h"

#include <atomic>

#include "channel/channel_buffer.h"

namespace brevalo {
namespace {

uint32_t Load(const NamedMapping& mapping) {
  return std::atomic_ref<uint32_t>(*static_cast<uint32_t*>(mapping.Data()))
      .load(std::memory_order_acquire);
}

}  // namespace

UnreadCounter::UnreadCounter(std::unique_ptr<NamedMapping> mapping)
    : mapping_(std::move(mapping)) {}

std::unique_ptr<UnreadCounter> UnreadCounter::Create(const Device& device) {
  auto mapping = NamedMapping::Create(device, kSmsCountName, kSmsCountSize);
  if (mapping == nullptr) return nullptr;
  return std::unique_ptr<UnreadCounter>(new UnreadCounter(std::move(mapping)));
}

std::optional<uint32_t> UnreadCounter::Peek(const Device& device) {
  auto mapping = NamedMapping::Open(device, kSmsCountName);
  if (mapping == nullptr || mapping->Size() < kSmsCountSize) return std::nullopt;
  return Load(*mapping);
}

void UnreadCounter::Set(uint32_t unread) {
  std::atomic_ref<uint32_t>(*static_cast<uint32_t*>(mapping_->Data()))
      .store(unread, std::memory_order_release);
}

uint32_t UnreadCounter::Get() const { return Load(*mapping_); }

}  // namespace brevalo
