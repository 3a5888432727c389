#include "device/mapi_entry_id.h"

namespace brevalo {
namespace {

constexpr std::array<uint8_t, 4> kProviderMark{'B', 'R', 'V', 'P'};

void PutLittleEndian(uint64_t value, size_t width, uint8_t* out) {
  for (size_t i = 0; i < width; ++i) out[i] = static_cast<uint8_t>(value >> (8 * i));
}

uint64_t GetLittleEndian(const uint8_t* in, size_t width) {
  uint64_t value = 0;
  for (size_t i = 0; i < width; ++i) value |= static_cast<uint64_t>(in[i]) << (8 * i);
  return value;
}

}  // namespace

std::array<uint8_t, kEntryIdSize> EncodeEntryId(const EntryId& id) {
  std::array<uint8_t, kEntryIdSize> bytes{};
  for (size_t i = 0; i < kProviderMark.size(); ++i) bytes[4 + i] = kProviderMark[i];
  PutLittleEndian(static_cast<uint32_t>(id.kind), 4, &bytes[8]);
  PutLittleEndian(id.store, 4, &bytes[12]);
  PutLittleEndian(id.object, 8, &bytes[16]);
  return bytes;
}

std::optional<EntryId> DecodeEntryId(const uint8_t* bytes, size_t size) {
  if (bytes == nullptr || size != kEntryIdSize) return std::nullopt;
  if (GetLittleEndian(bytes, 4) != 0) return std::nullopt;
  for (size_t i = 0; i < kProviderMark.size(); ++i) {
    if (bytes[4 + i] != kProviderMark[i]) return std::nullopt;
  }
  uint64_t kind = GetLittleEndian(&bytes[8], 4);
  if (kind < static_cast<uint32_t>(EntryKind::Store) ||
      kind > static_cast<uint32_t>(EntryKind::Message)) {
    return std::nullopt;
  }
  EntryId id;
  id.kind = static_cast<EntryKind>(kind);
  id.store = static_cast<uint32_t>(GetLittleEndian(&bytes[12], 4));
  id.object = GetLittleEndian(&bytes[16], 8);
  return id;
}

}  // namespace brevalo
