#include "store/journal_format.h"

#include <zlib.h>

#include <cstring>

#include "store/store_format.h"

namespace brevalo {
namespace {

void PutUnits(std::vector<uint8_t>& out, std::u16string_view text) {
  for (char16_t unit : text) {
    out.push_back(static_cast<uint8_t>(unit));
    out.push_back(static_cast<uint8_t>(unit >> 8));
  }
}

// REQUIRES: in holds 2 * units bytes.
std::u16string TakeUnits(const uint8_t* in, size_t units) {
  std::u16string text(units, u'\0');
  for (size_t i = 0; i < units; ++i) {
    text[i] = static_cast<char16_t>(in[2 * i] | (in[2 * i + 1] << 8));
  }
  return text;
}

}  // namespace

void EncodeJournalHeader(const JournalBase& base, uint8_t* out) {
  std::memset(out, 0, kJournalHeaderSize);
  std::memcpy(out, kJournalMagic, 4);
  EncodeFixed32(out + 4, base.indexOffset);
  EncodeFixed64(out + 8, base.buildDateBits);
}

std::optional<JournalBase> DecodeJournalHeader(const uint8_t* in) {
  if (std::memcmp(in, kJournalMagic, 4) != 0) return std::nullopt;
  JournalBase base;
  base.indexOffset = DecodeFixed32(in + 4);
  base.buildDateBits = DecodeFixed64(in + 8);
  return base;
}

uint32_t JournalChecksum(const uint8_t* data, size_t size) {
  uLong crc = crc32(0L, Z_NULL, 0);
  // zlib takes the length as a 32-bit count; payloads are bounded far below that.
  return static_cast<uint32_t>(crc32(crc, data, static_cast<uInt>(size)));
}

std::vector<uint8_t> EncodeJournalEntry(const JournalEntry& entry) {
  std::vector<uint8_t> out(kJournalEntryHeadSize + kJournalNodeFixedSize);
  uint8_t* fixed = out.data() + kJournalEntryHeadSize;
  fixed[0] = kJournalKindFiledNode;
  fixed[1] = entry.firstChild ? 0 : 1;
  fixed[2] = static_cast<uint8_t>(entry.target);
  EncodeFixed32(fixed + 4, entry.image);
  EncodeFixed32(fixed + 8, entry.offset);
  EncodeFixed32(fixed + 12, static_cast<uint32_t>(entry.folderPath.size()));
  EncodeFixed32(fixed + 16, static_cast<uint32_t>(entry.label.size()));
  EncodeFixed32(fixed + 20, static_cast<uint32_t>(entry.stored.size()));
  EncodeFixed64(fixed + 24, entry.ticket);
  PutUnits(out, entry.folderPath);
  PutUnits(out, entry.label);
  out.insert(out.end(), entry.stored.begin(), entry.stored.end());
  const size_t payload = out.size() - kJournalEntryHeadSize;
  EncodeFixed32(out.data(), static_cast<uint32_t>(payload));
  EncodeFixed32(out.data() + 4, JournalChecksum(out.data() + kJournalEntryHeadSize, payload));
  return out;
}

std::optional<JournalEntry> DecodeJournalPayload(const uint8_t* payload, size_t size) {
  if (size < kJournalNodeFixedSize || payload[0] != kJournalKindFiledNode) return std::nullopt;
  if (payload[1] > 1 || payload[2] > 1) return std::nullopt;
  const uint64_t pathUnits = DecodeFixed32(payload + 12);
  const uint64_t labelUnits = DecodeFixed32(payload + 16);
  const uint64_t storedSize = DecodeFixed32(payload + 20);
  // 64-bit sums: three 32-bit sizes cannot overflow them.
  if (kJournalNodeFixedSize + 2 * pathUnits + 2 * labelUnits + storedSize != size) {
    return std::nullopt;
  }
  if (storedSize < kRecordSize) return std::nullopt;
  JournalEntry entry;
  entry.firstChild = payload[1] == 0;
  entry.target = static_cast<JournalTarget>(payload[2]);
  entry.image = DecodeFixed32(payload + 4);
  entry.offset = DecodeFixed32(payload + 8);
  entry.ticket = DecodeFixed64(payload + 24);
  const uint8_t* at = payload + kJournalNodeFixedSize;
  entry.folderPath = TakeUnits(at, pathUnits);
  at += 2 * pathUnits;
  entry.label = TakeUnits(at, labelUnits);
  at += 2 * labelUnits;
  entry.stored.assign(at, at + storedSize);
  return entry;
}

}  // namespace brevalo
