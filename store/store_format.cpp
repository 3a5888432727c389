#include "store/store_format.h"

#include <algorithm>

namespace brevalo {

void ScrambleWords(uint32_t value, uint8_t* start, size_t words) {
  for (size_t i = 0; i < words; ++i) {
    uint8_t* word = start + 4 * i;
    EncodeFixed32(word, DecodeFixed32(word) ^ value);
  }
}

namespace {

template <size_t N>
void PutBytes(uint8_t* dst, const char (&field)[N]) {
  std::memcpy(dst, field, N);
}

template <size_t N>
void GetBytes(char (&field)[N], const uint8_t* src) {
  std::memcpy(field, src, N);
}

}  // namespace

void EncodeHeader(const StoreHeader& header, uint32_t key, uint8_t* out) {
  std::fill(out, out + kHeaderSize, uint8_t{0});
  EncodeFixed32(out + kHeaderIndexOffset, header.indexOffset);
  EncodeDate(out + kHeaderModifyDate, header.modifyDate);
  EncodeFixed32(out + kHeaderKey, key);
  PutBytes(out + kHeaderPassword, header.password);
  PutBytes(out + kHeaderAuthor, header.author);
  EncodeDate(out + kHeaderBuildDate, header.buildDate);
  PutBytes(out + kHeaderSignature, header.signature);
  EncodeFixed32(out + kHeaderVersion, header.version);
  ScrambleWords(~key, out + kHeaderPassword, kHeaderPasswordSize / 4);
  ScrambleWords(~key, out + kHeaderAuthor, kHeaderAuthorSize / 4);
}

StoreHeader DecodeHeader(const uint8_t* in) {
  uint8_t plain[kHeaderSize];
  std::memcpy(plain, in, kHeaderSize);
  StoreHeader header;
  header.indexOffset = DecodeFixed32(plain + kHeaderIndexOffset);
  header.modifyDate = DecodeDate(plain + kHeaderModifyDate);
  header.key = DecodeFixed32(plain + kHeaderKey);
  ScrambleWords(~header.key, plain + kHeaderPassword, kHeaderPasswordSize / 4);
  ScrambleWords(~header.key, plain + kHeaderAuthor, kHeaderAuthorSize / 4);
  GetBytes(header.password, plain + kHeaderPassword);
  GetBytes(header.author, plain + kHeaderAuthor);
  header.buildDate = DecodeDate(plain + kHeaderBuildDate);
  GetBytes(header.signature, plain + kHeaderSignature);
  header.version = DecodeFixed32(plain + kHeaderVersion);
  return header;
}

void EncodeRecord(const StoreRecord& record, uint32_t key, uint8_t* out) {
  std::fill(out, out + kRecordSize, uint8_t{0});
  EncodeFixed32(out + kRecordFormat, record.format);
  PutBytes(out + kRecordAuthor, record.author);
  EncodeDate(out + kRecordDate, record.date);
  EncodeFixed32(out + kRecordKey, key);
  EncodeFixed32(out + kRecordHasBody, record.hasBody);
  PutBytes(out + kRecordNumber, record.number);
  PutBytes(out + kRecordPassword, record.password);
  ScrambleWords(~key, out + kRecordNumber, kRecordNumberSize / 4);
  ScrambleWords(~key, out + kRecordAuthor, kRecordAuthorSize / 4);
  ScrambleWords(~key, out + kRecordPassword, kRecordPasswordSize / 4);
}

StoreRecord DecodeRecord(const uint8_t* in) {
  uint8_t plain[kRecordSize];
  std::memcpy(plain, in, kRecordSize);
  StoreRecord record;
  record.format = DecodeFixed32(plain + kRecordFormat);
  record.date = DecodeDate(plain + kRecordDate);
  record.key = DecodeFixed32(plain + kRecordKey);
  record.hasBody = DecodeFixed32(plain + kRecordHasBody);
  ScrambleWords(~record.key, plain + kRecordNumber, kRecordNumberSize / 4);
  ScrambleWords(~record.key, plain + kRecordAuthor, kRecordAuthorSize / 4);
  ScrambleWords(~record.key, plain + kRecordPassword, kRecordPasswordSize / 4);
  GetBytes(record.author, plain + kRecordAuthor);
  GetBytes(record.number, plain + kRecordNumber);
  GetBytes(record.password, plain + kRecordPassword);
  return record;
}

uint32_t AppendedFormat(uint32_t format) {
  if (format == kBodyScrambled0 || format == kBodyScrambled1) return kBodyCompressed;
  if (format == kBodyNone2) return kBodyNone4;
  return format;
}

void EncodeIndexHead(const IndexHead& head, uint8_t* out) {
  std::fill(out, out + kIndexHeadSize, uint8_t{0});
  EncodeFixed32(out + kIndexKey, head.key);
  EncodeFixed32(out + kIndexNodeCount, head.nodeCount);
  EncodeFixed32(out + kIndexTextSize, head.textSize);
}

IndexHead DecodeIndexHead(const uint8_t* in) {
  IndexHead head;
  head.key = DecodeFixed32(in + kIndexKey);
  head.nodeCount = DecodeFixed32(in + kIndexNodeCount);
  head.textSize = DecodeFixed32(in + kIndexTextSize);
  return head;
}

uint32_t NodeKindFromImage(int image) {
  if (image == kImageBinEmpty) return kKindBinEmpty;
  if (image == kImageBinFull) return kKindBinFull;
  return static_cast<uint32_t>(image);
}

int ImageFromNodeKind(uint32_t kind) {
  if (kind == kKindBinEmpty) return kImageBinEmpty;
  if (kind == kKindBinFull) return kImageBinFull;
  return static_cast<int>(kind);
}

}  // namespace brevalo
