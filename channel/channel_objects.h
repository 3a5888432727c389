// The named objects of the channel as one bundle, opened the same way by the library and the
// program: whoever comes first creates them, the other opens them by creating them again.
#pragma once

#include <memory>

#include "channel/channel_buffer.h"
#include "device/device_paths.h"
#include "device/named_event.h"
#include "device/named_mapping.h"
#include "device/named_mutex.h"

namespace brevalo {

struct ChannelObjects {
  std::unique_ptr<NamedMapping> mapping;
  std::unique_ptr<NamedMutex> mutex;
  std::unique_ptr<NamedEvent> available;
  std::unique_ptr<NamedEvent> deleteAnswer;

  // All four or nothing. The head is made sound under the mutex: a buffer this call created
  // gets this layout's tag, capacity 5 and empty counters; an existing one keeps its counters,
  // and with them the messages still waiting, unless they are out of range. Nothing when the
  // existing buffer is smaller than this layout's or carries another layout's tag: a side built
  // for another layout owns it, and this side stays off rather than misread or clobber it.
  static std::unique_ptr<ChannelObjects> Open(const Device& device);

  ChannelBuffer* Buffer() const { return static_cast<ChannelBuffer*>(mapping->Data()); }
  bool BufferExisted() const;
};

// True when the tag is this layout's, capacity is 5, count 0..5, both indices 0..4 and count
// agrees with the distance between the indices.
bool ChannelHeadIsSound(const ChannelBuffer& buffer);
// True when the buffer carries a tag other than this layout's (0 is no tag yet).
bool ChannelLayoutIsForeign(const ChannelBuffer& buffer);
// Empties the ring and sets the tag and capacity. The running flag and both tickets are left
// alone: a ticket counted again could match an answer still on its way.
void ResetChannelHead(ChannelBuffer* buffer);

// The running flag is read outside the mutex by the library, so it is accessed atomically.
uint32_t LoadRunning(ChannelBuffer* buffer);
void StoreRunning(ChannelBuffer* buffer, uint32_t value);

// The next ticket: one more than the last, never 0. REQUIRES: the channel mutex is held.
uint64_t IssueTicket(ChannelBuffer* buffer);
// The program stores its answer without the mutex and the library reads it while waiting.
uint64_t LoadAnswerTicket(ChannelBuffer* buffer);
void StoreAnswerTicket(ChannelBuffer* buffer, uint64_t ticket);

}  // namespace brevalo
