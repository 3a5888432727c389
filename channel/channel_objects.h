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
  // gets capacity 5 and empty counters; an existing one keeps its counters, and with them
  // the messages still waiting, unless they are out of range.
  static std::unique_ptr<ChannelObjects> Open(const Device& device);

  ChannelBuffer* Buffer() const { return static_cast<ChannelBuffer*>(mapping->Data()); }
  bool BufferExisted() const;
};

// True when capacity is 5, count 0..5, both indices 0..4 and count agrees with the distance
// between the indices.
bool ChannelHeadIsSound(const ChannelBuffer& buffer);
// Empties the ring and sets capacity; the running flag is left alone.
void ResetChannelHead(ChannelBuffer* buffer);

// The running flag is read outside the mutex by the library, so it is accessed atomically.
uint32_t LoadRunning(ChannelBuffer* buffer);
void StoreRunning(ChannelBuffer* buffer, uint32_t value);

}  // namespace brevalo
