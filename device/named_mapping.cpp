#include "device/named_mapping.h"

#include "device/kernel_names.h"
#include "device/kernel_wait.h"

namespace brevalo {
namespace {

std::unique_ptr<SharedSegment> AcquireMapping(const Device& device, std::u16string_view name,
                                              size_t size, SharedSegment::Mode mode) {
  return SharedSegment::Acquire(KernelObjectHostName(device, KernelObjectKind::kMapping, name),
                                static_cast<uint32_t>(KernelObjectKind::kMapping), size, mode,
                                nullptr, nullptr);
}

}  // namespace

NamedMapping::NamedMapping(std::unique_ptr<SharedSegment> segment, size_t size)
    : segment_(std::move(segment)), size_(size) {}

std::unique_ptr<NamedMapping> NamedMapping::Create(const Device& device, std::u16string_view name,
                                                   size_t size) {
  if (name.empty() || size == 0) return nullptr;
  auto segment = AcquireMapping(device, name, size, SharedSegment::Mode::kCreateOrOpen);
  if (segment == nullptr) return nullptr;
  return std::unique_ptr<NamedMapping>(new NamedMapping(std::move(segment), size));
}

std::unique_ptr<NamedMapping> NamedMapping::Open(const Device& device, std::u16string_view name) {
  if (name.empty()) return nullptr;
  auto segment = AcquireMapping(device, name, 0, SharedSegment::Mode::kOpenExisting);
  if (segment == nullptr) return nullptr;
  size_t size = segment->PayloadSize();
  return std::unique_ptr<NamedMapping>(new NamedMapping(std::move(segment), size));
}

uint32_t NamedMapping::LastError() const { return segment_->Existed() ? ERROR_ALREADY_EXISTS : 0; }

}  // namespace brevalo
