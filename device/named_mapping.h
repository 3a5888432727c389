// A page-file-backed block of memory shared by the processes of one device under a name. A new
// mapping starts zeroed; the view is writable by every holder and stays valid while the object
// lives.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "device/device_paths.h"
#include "device/shared_segment.h"

namespace brevalo {

class NamedMapping {
 public:
  // Creates the mapping `name` of `size` bytes on `device` or opens the existing one
  // (LastError() then reports ERROR_ALREADY_EXISTS). An existing mapping smaller than `size`
  // gives nothing, as does an empty name or a size of 0.
  static std::unique_ptr<NamedMapping> Create(const Device& device, std::u16string_view name,
                                              size_t size);
  // Opens the mapping only if it exists, with the size its creator gave it.
  static std::unique_ptr<NamedMapping> Open(const Device& device, std::u16string_view name);

  NamedMapping(const NamedMapping&) = delete;
  NamedMapping& operator=(const NamedMapping&) = delete;
  ~NamedMapping() = default;

  uint32_t LastError() const;
  void* Data() const { return segment_->Payload(); }
  // The size asked for at Create; at Open, the creator's size.
  size_t Size() const { return size_; }

 private:
  NamedMapping(std::unique_ptr<SharedSegment> segment, size_t size);
  std::unique_ptr<SharedSegment> segment_;
  size_t size_;
};

}  // namespace brevalo
