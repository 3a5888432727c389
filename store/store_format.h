// The bytes of a document file (".kvt"). All integers little-endian, dates are OLE dates (doubles).
//
//   0    StoreHeader (120 bytes)
//   120  the first IndexBlock (a new file has only its 20-byte head, all zero)
//   ...  StoreRecords (each followed by its body when it has one) and newer IndexBlocks,
//        in the order they were appended. The header names the valid IndexBlock.
//
// IndexBlock: 20-byte head, label text (one line per node in pre-order: depth TABs, label, CR LF;
// then a zero byte), node table (8 bytes per node: record offset, kind).
//
// Text fields are bytes of the device's ANSI code page, scrambled with NOT K, where K is the key
// stored in plain in the same structure. Nothing here touches a file.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace brevalo {

// ---- little-endian fields in byte buffers (no unaligned casts) ----

// REQUIRES: src holds at least 4 bytes.
inline uint32_t DecodeFixed32(const uint8_t* src) {
  return uint32_t{src[0]} | (uint32_t{src[1]} << 8) | (uint32_t{src[2]} << 16) |
         (uint32_t{src[3]} << 24);
}
// REQUIRES: dst holds at least 4 bytes.
inline void EncodeFixed32(uint8_t* dst, uint32_t value) {
  dst[0] = static_cast<uint8_t>(value);
  dst[1] = static_cast<uint8_t>(value >> 8);
  dst[2] = static_cast<uint8_t>(value >> 16);
  dst[3] = static_cast<uint8_t>(value >> 24);
}
// REQUIRES: src holds at least 8 bytes.
inline uint64_t DecodeFixed64(const uint8_t* src) {
  return uint64_t{DecodeFixed32(src)} | (uint64_t{DecodeFixed32(src + 4)} << 32);
}
// REQUIRES: dst holds at least 8 bytes.
inline void EncodeFixed64(uint8_t* dst, uint64_t value) {
  EncodeFixed32(dst, static_cast<uint32_t>(value));
  EncodeFixed32(dst + 4, static_cast<uint32_t>(value >> 32));
}
inline double DecodeDate(const uint8_t* src) { return std::bit_cast<double>(DecodeFixed64(src)); }
inline void EncodeDate(uint8_t* dst, double value) {
  EncodeFixed64(dst, std::bit_cast<uint64_t>(value));
}

// XORs `words` little-endian 32-bit words starting at `start` with `value`; its own inverse.
// REQUIRES: start holds at least 4 * words bytes.
void ScrambleWords(uint32_t value, uint8_t* start, size_t words);
// Scrambles a run of text from its first byte: the whole words only, the last size % 4 bytes stay
// plain.
inline void ScrambleText(uint32_t key, uint8_t* text, size_t size) {
  ScrambleWords(~key, text, size / 4);
}

// ---- StoreHeader ----

inline constexpr size_t kHeaderSize = 120;
inline constexpr size_t kHeaderIndexOffset = 8;
inline constexpr size_t kHeaderModifyDate = 12;
inline constexpr size_t kHeaderKey = 20;
inline constexpr size_t kHeaderPassword = 24;
inline constexpr size_t kHeaderPasswordSize = 12;
inline constexpr size_t kHeaderAuthor = 36;
inline constexpr size_t kHeaderAuthorSize = 16;
inline constexpr size_t kHeaderBuildDate = 52;
inline constexpr size_t kHeaderSignature = 64;
inline constexpr size_t kSignatureSize = 5;
inline constexpr size_t kHeaderVersion = 72;
inline constexpr char kSignature[kSignatureSize + 1] = "Lorqa";
inline constexpr uint32_t kStoreVersion = 3;
inline constexpr uint32_t kFirstIndexOffset = kHeaderSize;

static_assert(kHeaderPassword + kHeaderPasswordSize == kHeaderAuthor);
static_assert(kHeaderAuthor + kHeaderAuthorSize == kHeaderBuildDate);
static_assert(kHeaderVersion + 4 + 44 == kHeaderSize);

// The header in memory, text fields plain. Reserved bytes are not kept: they are written as 0.
struct StoreHeader {
  uint32_t indexOffset = 0;
  double modifyDate = 0;
  uint32_t key = 0;
  char password[kHeaderPasswordSize] = {};
  char author[kHeaderAuthorSize] = {};
  double buildDate = 0;
  char signature[kSignatureSize] = {};
  uint32_t version = 0;
};

// Writes the header with `key` stored at 20 and the text fields scrambled with NOT key.
// REQUIRES: out holds kHeaderSize bytes.
void EncodeHeader(const StoreHeader& header, uint32_t key, uint8_t* out);
// Reads and unscrambles a header; the signature and version are taken as they are.
// REQUIRES: in holds kHeaderSize bytes.
StoreHeader DecodeHeader(const uint8_t* in);

// ---- StoreRecord ----

inline constexpr size_t kRecordSize = 104;
inline constexpr size_t kRecordFormat = 0;
inline constexpr size_t kRecordAuthor = 4;
inline constexpr size_t kRecordAuthorSize = 16;
inline constexpr size_t kRecordDate = 20;
inline constexpr size_t kRecordKey = 28;
inline constexpr size_t kRecordHasBody = 32;
inline constexpr size_t kRecordNumber = 36;
inline constexpr size_t kRecordNumberSize = 52;
inline constexpr size_t kRecordPassword = 88;
inline constexpr size_t kRecordPasswordSize = 12;

static_assert(kRecordAuthor + kRecordAuthorSize == kRecordDate);
static_assert(kRecordNumber + kRecordNumberSize == kRecordPassword);
static_assert(kRecordPassword + kRecordPasswordSize + 4 == kRecordSize);

// Body formats: what follows a record whose has-body flag is 1.
inline constexpr uint32_t kBodyScrambled0 = 0;  // length N, N scrambled bytes
inline constexpr uint32_t kBodyScrambled1 = 1;
inline constexpr uint32_t kBodyNone2 = 2;       // read as empty
inline constexpr uint32_t kBodyCompressed = 3;  // C, T, C bytes of zlib stream
inline constexpr uint32_t kBodyNone4 = 4;

// A record in memory, text fields plain.
struct StoreRecord {
  uint32_t format = kBodyScrambled0;  // turned into 3 when appended
  char author[kRecordAuthorSize] = {};
  double date = 0;
  uint32_t key = 0;
  uint32_t hasBody = 0;
  char number[kRecordNumberSize] = {};
  char password[kRecordPasswordSize] = {};
};

// REQUIRES: out holds kRecordSize bytes.
void EncodeRecord(const StoreRecord& record, uint32_t key, uint8_t* out);
// REQUIRES: in holds kRecordSize bytes.
StoreRecord DecodeRecord(const uint8_t* in);
// Formats 0 and 1 are stored as 3 and format 2 as 4 whenever a record is appended.
uint32_t AppendedFormat(uint32_t format);

// ---- IndexBlock ----

inline constexpr size_t kIndexHeadSize = 20;
inline constexpr size_t kIndexKey = 4;
inline constexpr size_t kIndexNodeCount = 8;
inline constexpr size_t kIndexTextSize = 12;
inline constexpr size_t kNodeEntrySize = 8;

struct IndexHead {
  uint32_t key = 0;
  uint32_t nodeCount = 0;
  uint32_t textSize = 0;  // bytes including the final zero; 0 for an empty tree
};

// REQUIRES: out holds kIndexHeadSize bytes.
void EncodeIndexHead(const IndexHead& head, uint8_t* out);
// REQUIRES: in holds kIndexHeadSize bytes.
IndexHead DecodeIndexHead(const uint8_t* in);

// Tree images and the kinds they are stored as.
inline constexpr int kImageFolder = 1;
inline constexpr int kImageRead = 2;
inline constexpr int kImageUnread = 3;
inline constexpr int kImageBinEmpty = 4;
inline constexpr int kImageBinFull = 5;
inline constexpr uint32_t kKindBinEmpty = 70;
inline constexpr uint32_t kKindBinFull = 71;

uint32_t NodeKindFromImage(int image);
int ImageFromNodeKind(uint32_t kind);
inline bool IsRecycleBinImage(int image) {
  return image == kImageBinEmpty || image == kImageBinFull;
}

}  // namespace brevalo
