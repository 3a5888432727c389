#include "store/body_codec.h"

#include <gtest/gtest.h>

#include <random>

#include "store/memory_store_file.h"
#include "store/store_format.h"
#include "store/store_test_support.h"

namespace brevalo {
namespace {

using testing::Bytes;

class BodyCodecTest : public ::testing::Test {
 protected:
  // Puts `bytes` into a file and reads them back as a stored body of `format` at offset 0.
  std::optional<StoredBody> ReadBack(const Bytes& bytes, uint32_t format) {
    files.Put(u"body", bytes);
    auto file = files.Open(u"body", StoreOpenMode::kReadWrite);
    return ReadStoredBody(*file, 0, format);
  }

  MemoryStoreFileSystem files;
};

TEST_F(BodyCodecTest, CompressedBodyIsOneLevelFiveZlibStream) {
  std::string text = "Meet me at the station at six.";
  text.push_back('\0');
  auto body = CompressBody(text);
  ASSERT_TRUE(body);
  const Bytes& bytes = body->bytes;
  uint32_t compressed = testing::RawU32(bytes, 0);
  EXPECT_EQ(testing::RawU32(bytes, 4), text.size());
  EXPECT_EQ(bytes.size(), 8 + compressed);
  // zlib header: deflate with a 32 KB window, compression levels 2 to 5.
  EXPECT_EQ(bytes[8], 0x78);
  EXPECT_EQ(bytes[9], 0x5E);
  EXPECT_EQ(testing::RawInflate(bytes, 8, compressed, static_cast<uint32_t>(text.size())),
            "Meet me at the station at six.");
}

TEST_F(BodyCodecTest, BodyLargerThanTheUsualAreaKeepsItsLayout) {
  std::mt19937 random(7);
  std::string text;
  for (int i = 0; i < 20000; ++i) text.push_back(static_cast<char>('!' + random() % 90));
  text.push_back('\0');
  auto body = CompressBody(text);
  ASSERT_TRUE(body);
  ASSERT_GT(body->bytes.size(), 2048u + 8);
  auto back = ReadBack(body->bytes, kBodyCompressed);
  ASSERT_TRUE(back);
  EXPECT_EQ(DecodeBody(*back, kBodyCompressed, 0), text);
}

TEST_F(BodyCodecTest, OldScrambledFormatsUnscrambleWholeWordsOnly) {
  const std::string text = "Hello, old phone";  // 16 bytes + zero = 17: one plain tail byte
  Bytes bytes(4);
  EncodeFixed32(bytes.data(), static_cast<uint32_t>(text.size() + 1));
  bytes.insert(bytes.end(), text.begin(), text.end());
  bytes.push_back(0);
  const uint32_t key = 0x5A5AA5A5;
  ScrambleWords(~key, bytes.data() + 4, (text.size() + 1) / 4);
  for (uint32_t format : {kBodyScrambled0, kBodyScrambled1}) {
    auto back = ReadBack(bytes, format);
    ASSERT_TRUE(back);
    EXPECT_EQ(testing::CString(DecodeBody(*back, format, key)), text);
  }
}

TEST_F(BodyCodecTest, FormatsWithoutBodyReadNothing) {
  for (uint32_t format : {kBodyNone2, kBodyNone4, 9u}) {
    auto back = ReadBack(Bytes{5, 0, 0, 0, 'a'}, format);
    ASSERT_TRUE(back);
    EXPECT_TRUE(back->bytes.empty());
    EXPECT_EQ(DecodeBody(*back, format, 0), "");
  }
}

TEST_F(BodyCodecTest, DamagedSizesAreRefusedBeforeAllocating) {
  Bytes shortBody{10, 0, 0, 0, 20, 0, 0, 0, 1, 2};  // claims 10 compressed bytes, has 2
  EXPECT_FALSE(ReadBack(shortBody, kBodyCompressed));
  Bytes hugeText{2, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0x7F, 0x78, 0x5E};
  EXPECT_FALSE(ReadBack(hugeText, kBodyCompressed));
  Bytes hugeScrambled{0xFF, 0xFF, 0xFF, 0xFF, 'a'};
  EXPECT_FALSE(ReadBack(hugeScrambled, kBodyScrambled1));
  EXPECT_FALSE(ReadBack(Bytes{1, 0}, kBodyCompressed));
}

TEST_F(BodyCodecTest, CutStreamYieldsWhatDecompressed) {
  std::string text(3000, 'x');
  for (size_t i = 0; i < text.size(); i += 7) text[i] = static_cast<char>('a' + i % 26);
  text.push_back('\0');
  auto body = CompressBody(text);
  ASSERT_TRUE(body);
  Bytes cut = body->bytes;
  size_t keep = 8 + (cut.size() - 8) / 2;
  cut.resize(keep);
  EncodeFixed32(cut.data(), static_cast<uint32_t>(keep - 8));
  auto back = ReadBack(cut, kBodyCompressed);
  ASSERT_TRUE(back);
  std::string decoded = DecodeBody(*back, kBodyCompressed, 0);
  EXPECT_EQ(decoded.size(), text.size());
  std::string prefix = testing::CString(decoded);
  EXPECT_GT(prefix.size(), 0u);
  EXPECT_LT(prefix.size(), text.size() - 1);
  EXPECT_EQ(prefix, text.substr(0, prefix.size()));
}

TEST(BodyTextTest, ConvertsAtTheFirstZero) {
  CodePage utf8;
  std::string ansi = BodyTextFromUtf16(utf8, u"Grüße 你好");
  EXPECT_EQ(ansi.back(), '\0');
  EXPECT_EQ(BodyTextToUtf16(utf8, ansi), u"Grüße 你好");
  EXPECT_EQ(BodyTextToUtf16(utf8, std::string("ab\0cd", 5)), u"ab");
}

}  // namespace
}  // namespace brevalo
