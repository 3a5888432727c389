// "KVT_SmsCount": the number of unread messages of the open document, published by the program
// for the home-screen plug-in as one 32-bit value in a named mapping.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "device/device_paths.h"
#include "device/named_mapping.h"

namespace brevalo {

class UnreadCounter {
 public:
  // The program's handle; the counter lives while it is held. Nothing on failure.
  static std::unique_ptr<UnreadCounter> Create(const Device& device);
  // What a reader such as the plug-in sees: nothing while no program publishes a count.
  static std::optional<uint32_t> Peek(const Device& device);

  void Set(uint32_t unread);
  uint32_t Get() const;

 private:
  explicit UnreadCounter(std::unique_ptr<NamedMapping> mapping);
  std::unique_ptr<NamedMapping> mapping_;
};

}  // namespace brevalo
