#include "channel/channel_slot.h"

#include <algorithm>
#include <bit>
#include <limits>

namespace brevalo {
namespace {

// Both sides run on the same machine; the decoder reads the little-endian form they write.
static_assert(std::endian::native == std::endian::little);

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }

// Text stops at an embedded terminator, as it does for the phone's readers.
std::u16string_view UpToTerminator(std::u16string_view text) {
  return text.substr(0, std::min(text.find(u'\0'), text.size()));
}

uint32_t LengthField(size_t units) {
  return static_cast<uint32_t>(std::min<size_t>(units, std::numeric_limits<uint32_t>::max()));
}

// Fills a field of `units` units with as much of `text` as fits beside the terminator and clears
// the rest, so nothing of a longer message before stays behind. True when `text` was cut.
bool FillField(char16_t* field, size_t units, std::u16string_view text) {
  bool cut = text.size() >= units;
  size_t keep = cut ? units - 1 : text.size();
  // Half a pair would reach the program as a broken character.
  if (cut && keep > 0 && IsHighSurrogate(text[keep - 1])) --keep;
  std::copy_n(text.begin(), keep, field);
  std::fill(field + keep, field + units, u'\0');
  return cut;
}

uint16_t LoadLe16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

uint32_t LoadLe32(const unsigned char* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

uint64_t LoadLe64(const unsigned char* p) {
  return static_cast<uint64_t>(LoadLe32(p)) | (static_cast<uint64_t>(LoadLe32(p + 4)) << 32);
}

// The text of a field up to its terminator, or all of it when the terminator is missing.
// `whole` holds only when the writer called the text whole, the field is terminated and the
// text is as long as the writer said. REQUIRES: `field` holds units * 2 bytes.
std::u16string ReadField(const unsigned char* field, size_t units, uint32_t statedLength,
                         bool statedWhole, bool* whole) {
  std::u16string text;
  bool terminated = false;
  for (size_t i = 0; i < units; ++i) {
    char16_t unit = static_cast<char16_t>(LoadLe16(field + i * 2));
    if (unit == u'\0') {
      terminated = true;
      break;
    }
    text.push_back(unit);
  }
  *whole = statedWhole && terminated && text.size() == statedLength;
  return text;
}

}  // namespace

void WriteChannelSlot(ChannelSlot* slot, uint64_t ticket, std::u16string_view body,
                      std::u16string_view sender, const FILETIME& deliveryTime) {
  body = UpToTerminator(body);
  sender = UpToTerminator(sender);
  uint32_t flags = 0;
  if (FillField(slot->body, kSlotBodyUnits, body)) flags |= kSlotBodyCut;
  if (FillField(slot->sender, kSlotSenderUnits, sender)) flags |= kSlotSenderCut;
  slot->ticket = ticket;
  slot->deliveryTime = deliveryTime;
  slot->bodyLength = LengthField(body.size());
  slot->senderLength = LengthField(sender.size());
  slot->flags = flags;
  slot->reserved = 0;
}

SlotMessage ReadChannelSlot(const unsigned char* bytes) {
  SlotMessage message;
  message.ticket = LoadLe64(bytes + offsetof(ChannelSlot, ticket));
  const unsigned char* time = bytes + offsetof(ChannelSlot, deliveryTime);
  message.deliveryTime.dwLowDateTime = LoadLe32(time);
  message.deliveryTime.dwHighDateTime = LoadLe32(time + 4);
  uint32_t flags = LoadLe32(bytes + offsetof(ChannelSlot, flags));
  // A bit no writer of this layout sets means the slot is not what such a writer left.
  bool flagsKnown = (flags & ~kSlotKnownFlags) == 0;
  message.body = ReadField(bytes + offsetof(ChannelSlot, body), kSlotBodyUnits,
                           LoadLe32(bytes + offsetof(ChannelSlot, bodyLength)),
                           flagsKnown && (flags & kSlotBodyCut) == 0, &message.bodyWhole);
  message.sender = ReadField(bytes + offsetof(ChannelSlot, sender), kSlotSenderUnits,
                             LoadLe32(bytes + offsetof(ChannelSlot, senderLength)),
                             flagsKnown && (flags & kSlotSenderCut) == 0, &message.senderWhole);
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
