#include "store/store_format.h"

#include <gtest/gtest.h>

#include "store/store_test_support.h"

namespace brevalo {
namespace {

using testing::Bytes;

TEST(ScrambleWordsTest, XorsLittleEndianWordsAndUndoesItself) {
  uint8_t bytes[9] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
  ScrambleWords(0x11223344, bytes, 2);
  const uint8_t scrambled[9] = {1 ^ 0x44, 2 ^ 0x33, 3 ^ 0x22, 4 ^ 0x11, 5 ^ 0x44,
                                6 ^ 0x33, 7 ^ 0x22, 8 ^ 0x11, 9};
  EXPECT_EQ(0, std::memcmp(bytes, scrambled, sizeof bytes));
  ScrambleWords(0x11223344, bytes, 2);
  const uint8_t plain[9] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
  EXPECT_EQ(0, std::memcmp(bytes, plain, sizeof bytes));
}

TEST(ScrambleWordsTest, TextLeavesItsTailBytesPlain) {
  for (size_t size = 0; size <= 9; ++size) {
    std::vector<uint8_t> text(size, 0xAB);
    ScrambleText(0, text.data(), text.size());  // NOT 0 flips every scrambled bit
    for (size_t i = 0; i < size; ++i) {
      EXPECT_EQ(text[i], i < size / 4 * 4 ? 0x54 : 0xAB) << "size " << size << " byte " << i;
    }
  }
}

TEST(StoreHeaderTest, LaysOutEveryFieldAndScramblesTheTexts) {
  StoreHeader header;
  header.indexOffset = 0x01020304;
  header.modifyDate = 45000.25;
  std::memcpy(header.password, "secret", 6);
  std::memcpy(header.author, "Ann Author", 10);
  header.buildDate = 44000.5;
  std::memcpy(header.signature, kSignature, kSignatureSize);
  header.version = 3;
  Bytes raw(kHeaderSize, 0xEE);
  EncodeHeader(header, 0xCAFEF00D, raw.data());

  testing::RawHeader parsed = testing::ParseRawHeader(raw);
  EXPECT_EQ(parsed.indexOffset, 0x01020304u);
  EXPECT_EQ(parsed.key, 0xCAFEF00Du);
  EXPECT_EQ(parsed.password, "secret");
  EXPECT_EQ(parsed.author, "Ann Author");
  EXPECT_EQ(parsed.signature, "Lorqa");
  EXPECT_EQ(parsed.version, 3u);
  EXPECT_EQ(parsed.modifyDate, 45000.25);
  EXPECT_EQ(parsed.buildDate, 44000.5);
  EXPECT_NE(raw[24], 's') << "the password must not be stored in plain";
  for (size_t at : {0, 1, 2, 3, 4, 5, 6, 7, 60, 61, 62, 63, 69, 70, 71, 76, 100, 119}) {
    EXPECT_EQ(raw[at], 0) << "reserved byte " << at;
  }

  StoreHeader back = DecodeHeader(raw.data());
  EXPECT_EQ(back.indexOffset, header.indexOffset);
  EXPECT_EQ(back.key, 0xCAFEF00Du);
  EXPECT_EQ(0, std::memcmp(back.password, header.password, sizeof header.password));
  EXPECT_EQ(0, std::memcmp(back.author, header.author, sizeof header.author));
  EXPECT_EQ(back.buildDate, header.buildDate);
}

TEST(StoreRecordTest, LaysOutEveryFieldAndScramblesTheTexts) {
  StoreRecord record;
  record.format = 2;  // no body follows, so the raw reader stops at the record
  std::memcpy(record.author, "me", 2);
  record.date = 46000.75;
  record.hasBody = 1;
  std::memcpy(record.number, "+441234567890", 13);
  std::memcpy(record.password, "pin", 3);
  Bytes raw(kRecordSize, 0xEE);
  EncodeRecord(record, 0x12345678, raw.data());

  testing::RawRecord parsed = testing::ParseRawRecord(raw, 0);
  EXPECT_EQ(parsed.format, 2u);
  EXPECT_EQ(parsed.key, 0x12345678u);
  EXPECT_EQ(parsed.hasBody, 1u);
  EXPECT_EQ(parsed.author, "me");
  EXPECT_EQ(parsed.number, "+441234567890");
  EXPECT_EQ(parsed.password, "pin");
  EXPECT_EQ(testing::RawDouble(raw, 20), 46000.75);
  for (size_t at = 100; at < 104; ++at) EXPECT_EQ(raw[at], 0);

  StoreRecord back = DecodeRecord(raw.data());
  EXPECT_EQ(0, std::memcmp(back.number, record.number, sizeof record.number));
  EXPECT_EQ(0, std::memcmp(back.author, record.author, sizeof record.author));
  EXPECT_EQ(0, std::memcmp(back.password, record.password, sizeof record.password));
  EXPECT_EQ(back.date, record.date);
}

TEST(StoreFormatTest, AppendedFormatsAndNodeKinds) {
  EXPECT_EQ(AppendedFormat(0), 3u);
  EXPECT_EQ(AppendedFormat(1), 3u);
  EXPECT_EQ(AppendedFormat(2), 4u);
  EXPECT_EQ(AppendedFormat(3), 3u);
  EXPECT_EQ(AppendedFormat(7), 7u);
  EXPECT_EQ(NodeKindFromImage(kImageBinEmpty), 70u);
  EXPECT_EQ(NodeKindFromImage(kImageBinFull), 71u);
  EXPECT_EQ(NodeKindFromImage(kImageUnread), 3u);
  EXPECT_EQ(ImageFromNodeKind(70), kImageBinEmpty);
  EXPECT_EQ(ImageFromNodeKind(71), kImageBinFull);
  EXPECT_EQ(ImageFromNodeKind(2), kImageRead);
}

}  // namespace
}  // namespace brevalo
