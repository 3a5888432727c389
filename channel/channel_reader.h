// The program's side of the channel: the intake thread waits for messages and hands each filled
// slot, in the order the library stored them, to a consumer; the window thread answers "delete"
// through AnswerDelete. The reader starts no thread of its own; its owner runs Run on one.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

#include "channel/channel_objects.h"
#include "channel/channel_slot.h"
#include "device/device_paths.h"

namespace brevalo {

class ChannelReader {
 public:
  // Returns true when the message has been consumed; false leaves it (and those after it) in
  // the buffer until the next signal. Called with the channel mutex held, so the library waits
  // meanwhile.
  using Consumer = std::function<bool(const SlotMessage& message)>;

  enum class Pass { kHandled, kTimedOut, kStopped, kFailed };

  // Opens the named objects and sets the running flag. Nothing when they cannot be made; the
  // library then finds the flag at 0 and leaves messages in the phone's inbox.
  static std::unique_ptr<ChannelReader> Open(const Device& device);

  ChannelReader(const ChannelReader&) = delete;
  ChannelReader& operator=(const ChannelReader&) = delete;
  // Clears the running flag. REQUIRES: no thread is inside Run or ReceiveOnce.
  ~ChannelReader();

  // The intake loop: passes until Stop or a failed wait.
  void Run(const Consumer& consumer);
  // One pass: waits for the available event up to timeoutMs, then hands every filled slot. A
  // buffer that carries another layout's tag is left alone: the pass hands nothing.
  Pass ReceiveOnce(uint32_t timeoutMs, const Consumer& consumer);

  // From any thread: clears the running flag and wakes the loop, which then ends.
  void Stop();
  // From any thread: wakes the loop for a pass over what is waiting, as a new message does.
  void Wake();
  // From any thread: tells the library to delete the message of `ticket` (SlotMessage::ticket).
  // Takes no mutex, so the window thread can answer while the intake thread holds the channel.
  // The library takes the answer only while it waits for that very message; an answer that
  // comes later, or names an older one, deletes nothing. False for ticket 0 or a failed signal.
  bool AnswerDelete(uint64_t ticket);

  ChannelBuffer* Buffer() const { return objects_->Buffer(); }

 private:
  explicit ChannelReader(std::unique_ptr<ChannelObjects> objects);
  std::unique_ptr<ChannelObjects> objects_;
  std::atomic<bool> stop_{false};
};

}  // namespace brevalo
