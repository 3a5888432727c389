// The shared buffer between the rule-client library and the program, byte for byte: both sides
// map the same 4220 bytes, so sizes and offsets are pinned below. Layout:
//
//   offset  size      field
//   0       4         running      1 while the program's intake is active
//   4       4         count        filled slots, 0..5
//   8       4         capacity     5
//   12      4         writeIndex   slot for the next message, 0..4
//   16      4         readIndex    slot the program reads next, 0..4
//   20      5 x 840   slots        a ring: both indices advance by one modulo 5
//
//   slot:   0    320  body         UTF-16, zero-terminated, 160 units with the terminator
//           320  512  sender       UTF-16, zero-terminated, 256 units with the terminator
//           832  8    deliveryTime FILETIME, UTC
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "device/system_time.h"

namespace brevalo {

inline constexpr std::u16string_view kSmsBufferName = u"KVT_SmsBuffer";
inline constexpr std::u16string_view kSmsDataMutexName = u"KVT_SMSDataMutex";
inline constexpr std::u16string_view kSmsAvailableEventName = u"KVT_SMSAvailableEvent";
inline constexpr std::u16string_view kSmsDeleteEventName = u"KVT_SMSDeleteEvent";
inline constexpr std::u16string_view kSmsCountName = u"KVT_SmsCount";

inline constexpr uint32_t kChannelCapacity = 5;
inline constexpr size_t kSlotBodyUnits = 160;    // with the terminator
inline constexpr size_t kSlotSenderUnits = 256;  // with the terminator
// How long the library waits for the program's delete answer.
inline constexpr uint32_t kDeleteAnswerTimeoutMs = 1000;

struct ChannelSlot {
  char16_t body[kSlotBodyUnits];
  char16_t sender[kSlotSenderUnits];
  FILETIME deliveryTime;
};

struct ChannelBuffer {
  uint32_t running;
  uint32_t count;
  uint32_t capacity;
  uint32_t writeIndex;
  uint32_t readIndex;
  ChannelSlot slots[kChannelCapacity];
};

static_assert(sizeof(FILETIME) == 8);
static_assert(offsetof(ChannelSlot, body) == 0);
static_assert(offsetof(ChannelSlot, sender) == 320);
static_assert(offsetof(ChannelSlot, deliveryTime) == 832);
static_assert(sizeof(ChannelSlot) == 840);
static_assert(offsetof(ChannelBuffer, running) == 0);
static_assert(offsetof(ChannelBuffer, count) == 4);
static_assert(offsetof(ChannelBuffer, capacity) == 8);
static_assert(offsetof(ChannelBuffer, writeIndex) == 12);
static_assert(offsetof(ChannelBuffer, readIndex) == 16);
static_assert(offsetof(ChannelBuffer, slots) == 20);
static_assert(sizeof(ChannelBuffer) == 4220);

inline constexpr size_t kSmsCountSize = 4;

}  // namespace brevalo
