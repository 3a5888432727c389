#include "channel/channel_slot.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace brevalo {
namespace {

// Both sides run on the same machine; the decoder reads the little-endian form they write.
static_assert(std::endian::native == std::endian::little);

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }

// Fits `text` into a field of `units` units with its terminator.
std::u16string_view CutToField(std::u16string_view text, size_t units) {
  // Text stops at an embedded terminator, as it would for the phone's readers.
  text = text.substr(0, std::min(text.find(u'\0'), text.size()));
  if (text.size() < units) return text;
  size_t keep = units - 1;
  if (keep > 0 && IsHighSurrogate(text[keep - 1])) --keep;
  return text.substr(0, keep);
}

void FillField(char16_t* field, size_t units, std::u16string_view text) {
  std::u16string_view cut = CutToField(text, units);
  std::fill(field, field + units, u'\0');
  std::copy(cut.begin(), cut.end(), field);
}

uint16_t LoadLe16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

uint32_t LoadLe32(const unsigned char* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// REQUIRES: `field` holds units * 2 bytes.
std::u16string ReadField(const unsigned char* field, size_t units) {
  std::u16string text;
  for (size_t i = 0; i < units; ++i) {
    char16_t unit = static_cast<char16_t>(LoadLe16(field + i * 2));
    if (unit == u'\0') break;
    text.push_back(unit);
  }
  return text;
}

}  // namespace

void WriteChannelSlot(ChannelSlot* slot, std::u16string_view body, std::u16string_view sender,
                      const FILETIME& deliveryTime) {
  FillField(slot->body, kSlotBodyUnits, body);
  FillField(slot->sender, kSlotSenderUnits, sender);
  slot->deliveryTime = deliveryTime;
}

SlotMessage ReadChannelSlot(const unsigned char* bytes) {
  SlotMessage message;
  message.body = ReadField(bytes + offsetof(ChannelSlot, body), kSlotBodyUnits);
  message.sender = ReadField(bytes + offsetof(ChannelSlot, sender), kSlotSenderUnits);
  const unsigned char* time = bytes + offsetof(ChannelSlot, deliveryTime);
  message.deliveryTime.dwLowDateTime = LoadLe32(time);
  message.deliveryTime.dwHighDateTime = LoadLe32(time + 4);
  return message;
}

bool ReadChannelSlot(const unsigned char* bytes, size_t size, SlotMessage* out) {
  if (bytes == nullptr || size < sizeof(ChannelSlot)) return false;
  *out = ReadChannelSlot(bytes);
  return true;
}

SlotMessage ReadChannelSlot(const ChannelSlot& slot) {
  return ReadChannelSlot(reinterpret_cast<const unsigned char*>(&slot));
}

}  // namespace brevalo
