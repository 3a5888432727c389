// The bytes of a document's journal, the file beside the document (its path with ".jnl" added)
// that holds the messages filed since the document's last save. A message is durable once its
// journal entry is synced; the next save writes the whole index, which then names every journaled
// node, and starts the journal anew. The document file itself never changes its format for this.
// All integers little-endian.
//
//   journal header (24 bytes)
//   0   4  magic "KVJ1"
//   4   4  base index offset: the index offset in the document's header when the journal began
//   8   8  base build date: the document header's build date (the bits of the double)
//   16  8  reserved, 0
//
//   entries, one after another, to the end of the file:
//   0   4  payload size N (at most kMaxJournalPayload)
//   4   4  CRC-32 of the N payload bytes
//   8   N  payload
//
//   payload of a filed node (kind 1):
//   0   1  kind, 1
//   1   1  placement: 0 first child, 1 last child (of the message and of every folder its path
//          creates)
//   2   1  target: 0 the folder path below (the top level when it is empty), 1 the recycle bin
//   3   1  reserved, 0
//   4   4  tree image of the node
//   8   4  offset of the node's record in the document
//   12  4  path length P in UTF-16 units
//   16  4  label length L in UTF-16 units
//   20  4  stored size S: the record (104 bytes) and its body exactly as in the document
//   24  8  ticket of the incoming message the node holds (0 for none), so that a message the
//          channel hands over again after a crash is known as filed already
//   32  2P path, 2L label (UTF-16LE), then the S stored bytes
//
// The entries apply only on top of the index their header names: a journal whose base differs
// from the document's header was folded into a later index already.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brevalo {

inline constexpr std::u16string_view kJournalSuffix = u".jnl";
inline constexpr char kJournalMagic[5] = "KVJ1";
inline constexpr size_t kJournalHeaderSize = 24;
inline constexpr size_t kJournalEntryHeadSize = 8;
inline constexpr size_t kJournalNodeFixedSize = 32;
inline constexpr uint8_t kJournalKindFiledNode = 1;
// Far above any message; a larger size word is damage and must not size an allocation.
inline constexpr uint32_t kMaxJournalPayload = 16u << 20;

struct JournalBase {
  uint32_t indexOffset = 0;
  uint64_t buildDateBits = 0;
  bool operator==(const JournalBase&) const = default;
};

enum class JournalTarget : uint8_t { kFolderPath = 0, kRecycleBin = 1 };

// One node filed into the document: where it goes in the tree and the bytes of its record.
struct JournalEntry {
  bool firstChild = true;
  JournalTarget target = JournalTarget::kFolderPath;
  std::u16string folderPath;  // "\Inbox"; components are introduced by backslashes
  std::u16string label;
  uint32_t image = 0;
  uint32_t offset = 0;
  uint64_t ticket = 0;          // of the incoming message; 0 for folders
  std::vector<uint8_t> stored;  // the record and its body as the document holds them
  bool operator==(const JournalEntry&) const = default;
};

// REQUIRES: out holds kJournalHeaderSize bytes.
void EncodeJournalHeader(const JournalBase& base, uint8_t* out);
// Nothing when the magic is wrong. REQUIRES: in holds kJournalHeaderSize bytes.
std::optional<JournalBase> DecodeJournalHeader(const uint8_t* in);

// The whole entry: size, checksum and payload.
std::vector<uint8_t> EncodeJournalEntry(const JournalEntry& entry);
// Decodes a payload whose checksum matched; nothing when its fields do not add up.
std::optional<JournalEntry> DecodeJournalPayload(const uint8_t* payload, size_t size);

uint32_t JournalChecksum(const uint8_t* data, size_t size);

}  // namespace brevalo
