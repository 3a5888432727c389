// Entry identifiers of the phone's message store: 24 bytes that name one store, one folder of a
// store or one message, and stay the same for as long as the object exists (messages keep their
// database identifier, which is never reused).
//
// Layout, little-endian:
//   0   4 bytes  flags, always zero
//   4   4 bytes  "BRVP", the mark of this store provider
//   8   uint32   kind: 1 store, 2 folder, 3 message
//   12  uint32   store identifier
//   16  uint64   folder type (folders), message identifier (messages), zero (stores)
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace brevalo {

inline constexpr size_t kEntryIdSize = 24;
// The longest identifier a caller has to keep for this store.
inline constexpr size_t kMaxEntryIdSize = 24;

enum class EntryKind : uint32_t { Store = 1, Folder = 2, Message = 3 };

struct EntryId {
  EntryKind kind = EntryKind::Store;
  uint32_t store = 0;
  uint64_t object = 0;

  friend bool operator==(const EntryId&, const EntryId&) = default;
};

std::array<uint8_t, kEntryIdSize> EncodeEntryId(const EntryId& id);
// Nothing for bytes that are not an identifier of this store: any other size, non-zero flags,
// another provider's mark or an unknown kind. `bytes` may be nullptr when size is 0.
std::optional<EntryId> DecodeEntryId(const uint8_t* bytes, size_t size);

}  // namespace brevalo
