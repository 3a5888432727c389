// The shared buffer between the rule-client library and the program, byte for byte: both sides
// map the same 420040 bytes, so sizes and offsets are pinned below. Layout:
//
//   offset  size        field
//   0       4           running       1 while the program's intake is active
//   4       4           count         filled slots, 0..5
//   8       4           capacity      5
//   12      4           writeIndex    slot for the next message, 0..4
//   16      4           readIndex     slot the program reads next, 0..4
//   20      4           layoutTag     kChannelLayoutTag; 0 only before the first side set it up
//   24      8           nextTicket    the ticket given to the last stored message
//   32      8           answerTicket  the ticket of the message the program last answered "delete"
//   40      5 x 84000   slots         a ring: both indices advance by one modulo 5
//
//   slot:   0     8      ticket        names the message in the delete answer; never 0
//           8     8      deliveryTime  FILETIME, UTC
//           16    4      bodyLength    units of the body as the phone gave it
//           20    4      senderLength  units of the sender as the phone gave it
//           24    4      flags         kSlotBodyCut | kSlotSenderCut; no other bit is ever set
//           28    4      reserved      0
//           32    2048   sender        UTF-16, zero-terminated, 1024 units with the terminator
//           2080  81920  body          UTF-16, zero-terminated, 40960 units with the terminator
//
// All fields are little-endian. The two tickets are 8-byte aligned and accessed atomically:
// the program stores answerTicket without the mutex, while its intake thread holds it.
#pragma once

#include <atomic>
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

// "SB02" in memory: the second layout of the buffer. A side built for another layout finds a
// tag it does not know and leaves the buffer alone.
inline constexpr uint32_t kChannelLayoutTag = 0x32304253;
inline constexpr uint32_t kChannelCapacity = 5;
// The longest concatenated SMS is 255 parts of 153 characters: 39,015 units.
inline constexpr size_t kSlotBodyUnits = 40960;  // with the terminator
inline constexpr size_t kSlotSenderUnits = 1024;  // with the terminator
inline constexpr uint32_t kSlotBodyCut = 1;
inline constexpr uint32_t kSlotSenderCut = 2;
inline constexpr uint32_t kSlotKnownFlags = kSlotBodyCut | kSlotSenderCut;
// How long the library waits for the program's delete answer.
inline constexpr uint32_t kDeleteAnswerTimeoutMs = 1000;

struct ChannelSlot {
  uint64_t ticket;
  FILETIME deliveryTime;
  uint32_t bodyLength;
  uint32_t senderLength;
  uint32_t flags;
  uint32_t reserved;
  char16_t sender[kSlotSenderUnits];
  char16_t body[kSlotBodyUnits];
};

struct ChannelBuffer {
  uint32_t running;
  uint32_t count;
  uint32_t capacity;
  uint32_t writeIndex;
  uint32_t readIndex;
  uint32_t layoutTag;
  uint64_t nextTicket;
  uint64_t answerTicket;
  ChannelSlot slots[kChannelCapacity];
};

static_assert(sizeof(FILETIME) == 8);
static_assert(sizeof(char16_t) == 2);
static_assert(offsetof(ChannelSlot, ticket) == 0);
static_assert(offsetof(ChannelSlot, deliveryTime) == 8);
static_assert(offsetof(ChannelSlot, bodyLength) == 16);
static_assert(offsetof(ChannelSlot, senderLength) == 20);
static_assert(offsetof(ChannelSlot, flags) == 24);
static_assert(offsetof(ChannelSlot, reserved) == 28);
static_assert(offsetof(ChannelSlot, sender) == 32);
static_assert(offsetof(ChannelSlot, body) == 2080);
static_assert(sizeof(ChannelSlot) == 84000);
static_assert(offsetof(ChannelBuffer, running) == 0);
static_assert(offsetof(ChannelBuffer, count) == 4);
static_assert(offsetof(ChannelBuffer, capacity) == 8);
static_assert(offsetof(ChannelBuffer, writeIndex) == 12);
static_assert(offsetof(ChannelBuffer, readIndex) == 16);
static_assert(offsetof(ChannelBuffer, layoutTag) == 20);
static_assert(offsetof(ChannelBuffer, nextTicket) == 24);
static_assert(offsetof(ChannelBuffer, answerTicket) == 32);
static_assert(offsetof(ChannelBuffer, slots) == 40);
static_assert(sizeof(ChannelBuffer) == 420040);
// The tickets are shared across processes through atomic_ref: every one must sit on its own
// 8-byte boundary (the mapping itself starts on a 64-byte one).
static_assert(std::atomic_ref<uint64_t>::required_alignment == 8);
static_assert(std::atomic_ref<uint64_t>::is_always_lock_free);
static_assert(alignof(ChannelBuffer) == 8 && alignof(ChannelSlot) == 8);
static_assert(offsetof(ChannelBuffer, nextTicket) % 8 == 0);
static_assert(offsetof(ChannelBuffer, answerTicket) % 8 == 0);
static_assert(offsetof(ChannelBuffer, slots) % 8 == 0 && sizeof(ChannelSlot) % 8 == 0);

inline constexpr size_t kSmsCountSize = 4;

}  // namespace brevalo
