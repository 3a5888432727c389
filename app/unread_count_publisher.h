// "KVT_SmsCount" as the program publishes it: the unread total of the open document for the
// home-screen plug-in, and after every write the shell's notice that the plug-in's data changed.
// Without the mapping (it could not be made, or it was closed at exit) a write changes nothing
// and tells nobody, so no write ever goes through a missing view.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

#include "channel/unread_counter.h"
#include "device/device_paths.h"

namespace brevalo {

// The home-screen plug-in that shows the count.
inline constexpr std::u16string_view kHomePluginClassId = u"{20F58816-51E4-418D-92DD-8390021DCDCB}";

class UnreadCountPublisher {
 public:
  // Publishes nothing until Create. The device must outlive the publisher.
  explicit UnreadCountPublisher(const Device& device) : device_(device) {}

  // Makes (or opens) the 4-byte mapping; false when it cannot be made.
  bool Create();
  bool Published() const { return counter_ != nullptr; }

  // Stores the count and notifies the shell; false, doing neither, without the mapping.
  bool Write(uint32_t unread);
  // What is published now; nothing without the mapping.
  std::optional<uint32_t> Value() const;

  // Unmaps and closes; later writes do nothing.
  void Close() { counter_.reset(); }

 private:
  const Device& device_;
  std::unique_ptr<UnreadCounter> counter_;
};

}  // namespace brevalo
