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
    bool deleteAnswered = false;  // the program asked for this message to be deleted in time
    uint64_t ticket = 0;          // the stored message's ticket; 0 when nothing was stored
  };

  // Nothing when the named objects cannot be made; the library then hands nothing over.
  static std::unique_ptr<ChannelWriter> Open(const Device& device);

  // Under the mutex, puts the message into the next free slot (cut to its fields) under a new
  // ticket unless the buffer is full; then clears any stale delete answer and signals the
  // program, also when the message was not stored. Clearing before signalling means an answer
  // the program gives at once cannot be wiped out. Returns the ticket, 0 when nothing was
  // stored (a full buffer, or one that another layout's side owns, which is not signalled).
  uint64_t Put(std::u16string_view body, std::u16string_view sender, const FILETIME& deliveryTime);

  bool ProgramRunning() const;

  // True when the program answers "delete" for `ticket` within `timeoutMs`. Answers for other
  // tickets (late ones for messages the program took after this side had stopped waiting) are
  // passed over and the wait goes on to the deadline. False at once for ticket 0: a message
  // that was not stored was never handed over, so no answer can be meant for it.
  bool AwaitDeleteAnswer(uint64_t ticket, uint32_t timeoutMs = kDeleteAnswerTimeoutMs);

  // Put, then, if the message was stored and the program runs, AwaitDeleteAnswer.
  HandOverResult HandOver(std::u16string_view body, std::u16string_view sender,
                          const FILETIME& deliveryTime,
                          uint32_t timeoutMs = kDeleteAnswerTimeoutMs);

  ChannelBuffer* Buffer() const { return objects_->Buffer(); }

 private:
  explicit ChannelWriter(std::unique_ptr<ChannelObjects> objects);
  std::unique_ptr<ChannelObjects> objects_;
};

}  // namespace brevalo
