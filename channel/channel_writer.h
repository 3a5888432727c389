// The library's side of the channel: hands one incoming message at a time to the program and
// waits for its delete answer. Used by the rule-client library on the messaging service's thread.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "channel/channel_objects.h"
#include "device/device_paths.h"
#include "device/system_time.h"

namespace brevalo {

class ChannelWriter {
 public:
  struct HandOverResult {
    bool stored = false;          // false when the buffer held five unread messages
    bool programRunning = false;  // the running flag at the time of the wait
    bool deleteAnswered = false;  // the program asked for the message to be deleted in time
  };

  // Nothing when the named objects cannot be made; the library then hands nothing over.
  static std::unique_ptr<ChannelWriter> Open(const Device& device);

  // Under the mutex, puts the message into the next free slot (cut to its fields) unless the
  // buffer is full; then clears any stale delete answer and signals the program, also when the
  // message was not stored. Clearing before signalling means an answer the program gives at
  // once cannot be wiped out. False when nothing was stored.
  bool Put(std::u16string_view body, std::u16string_view sender, const FILETIME& deliveryTime);

  bool ProgramRunning() const;

  // True when the program signals its delete answer within `timeoutMs`.
  bool AwaitDeleteAnswer(uint32_t timeoutMs = kDeleteAnswerTimeoutMs);

  // Put, then, if the program runs, AwaitDeleteAnswer.
  HandOverResult HandOver(std::u16string_view body, std::u16string_view sender,
                          const FILETIME& deliveryTime,
                          uint32_t timeoutMs = kDeleteAnswerTimeoutMs);

  ChannelBuffer* Buffer() const { return objects_->Buffer(); }

 private:
  explicit ChannelWriter(std::unique_ptr<ChannelObjects> objects);
  std::unique_ptr<ChannelObjects> objects_;
};

}  // namespace brevalo
