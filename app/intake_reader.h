// The program's end of the channel from the rule-client library: one thread waits for the
// messages the library stores and hands each one to the main window, which answers whether it
// consumed it. Only the window thread works on a message; the intake thread holds the channel's
// mutex meanwhile, so the library waits with the next one.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>

#include "channel/slot_message.h"
#include "device/device_paths.h"

namespace brevalo {

class ChannelReader;

class IntakeReader {
 public:
  // Runs on the intake thread and returns the window's answer word: not 0 when the message was
  // consumed. The message is valid for the call only.
  using Deliver = std::function<uint32_t(const SlotMessage& message)>;
  // Waits on the stopping thread until the condition holds, handling meanwhile what the intake
  // thread sends to it, so that a delivery under way can finish.
  using WaitUntil = std::function<void(const std::function<bool()>& ended)>;

  IntakeReader();
  IntakeReader(const IntakeReader&) = delete;
  IntakeReader& operator=(const IntakeReader&) = delete;
  // Stops the thread and waits for its end.
  ~IntakeReader();

  // Creates the channel's objects, sets the running flag and starts the thread. False when an
  // object cannot be made: the intake stays off, and the library leaves every message in the
  // phone's inbox. Once only.
  bool Start(const Device& device, Deliver deliver);
  // Clears the running flag, wakes the thread and waits for its end. Without `waitUntil` the
  // caller must not be the thread that messages are delivered to.
  void Stop(const WaitUntil& waitUntil = {});
  bool Running() const { return thread_.joinable(); }
  // Hands the messages still waiting in the channel over again; for a window that could not take
  // one when it came.
  void Retry();
  // Asks the library to delete the phone's copy of the message of `ticket` (SlotMessage::ticket);
  // for the window thread, also while the intake thread waits for its answer word. Only the
  // message the library is waiting for is deleted. False when the intake is not started.
  bool AnswerDelete(uint64_t ticket);

 private:
  std::unique_ptr<ChannelReader> reader_;
  Deliver deliver_;
  std::thread thread_;
  std::atomic<bool> ended_{false};
};

}  // namespace brevalo
