#include "channel/channel_slot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <memory>
#include <vector>

namespace brevalo {
namespace {

constexpr FILETIME kTime{0x89ABCDEFu, 0x01D9A1B2u};
constexpr uint64_t kTicket = 0x0102030405060708ull;

bool EndsInHalfAPair(const std::u16string& text) {
  return !text.empty() && text.back() >= 0xD800 && text.back() <= 0xDBFF;
}

class ChannelSlotTest : public ::testing::Test {
 protected:
  // A slot is 84000 bytes: too large for the stack of every test thread.
  ChannelSlotTest() : slot_(std::make_unique<ChannelSlot>()) {}

  const unsigned char* Bytes() const { return reinterpret_cast<const unsigned char*>(slot_.get()); }
  SlotMessage Write(std::u16string_view body, std::u16string_view sender = u"+491701234567") {
    WriteChannelSlot(slot_.get(), kTicket, body, sender, kTime);
    return ReadChannelSlot(*slot_);
  }

  std::unique_ptr<ChannelSlot> slot_;
};

TEST_F(ChannelSlotTest, RoundTripKeepsTextSenderTimeAndTicket) {
  SlotMessage message = Write(u"Hello \u4e16\u754c \U0001F600");
  EXPECT_EQ(message.body, u"Hello \u4e16\u754c \U0001F600");
  EXPECT_EQ(message.sender, u"+491701234567");
  EXPECT_EQ(message.ticket, kTicket);
  EXPECT_TRUE(message.bodyWhole);
  EXPECT_TRUE(message.senderWhole);
  EXPECT_EQ(message.deliveryTime.dwLowDateTime, kTime.dwLowDateTime);
  EXPECT_EQ(message.deliveryTime.dwHighDateTime, kTime.dwHighDateTime);
  // Little-endian at the offsets where the other side looks for them.
  EXPECT_EQ(Bytes()[0], 0x08);
  EXPECT_EQ(Bytes()[7], 0x01);
  EXPECT_EQ(Bytes()[8], 0xEF);
  EXPECT_EQ(Bytes()[15], 0x01);
  EXPECT_EQ(slot_->bodyLength, 11u);
  EXPECT_EQ(slot_->senderLength, 13u);
  EXPECT_EQ(slot_->flags, 0u);
}

TEST_F(ChannelSlotTest, BodiesUpToTheFieldGoWhole) {
  // 159 units was the whole field before; 39,015 is the longest concatenated SMS.
  for (size_t units : {size_t{159}, size_t{160}, size_t{1000}, size_t{39015}, size_t{40000},
                       kSlotBodyUnits - 1}) {
    SCOPED_TRACE(units);
    std::u16string body(units, u'b');
    body.front() = u'<';
    body.back() = u'>';
    SlotMessage message = Write(body);
    EXPECT_EQ(message.body, body);
    EXPECT_TRUE(message.bodyWhole);
    EXPECT_EQ(slot_->bodyLength, units);
    EXPECT_EQ(slot_->flags, 0u);
  }
}

TEST_F(ChannelSlotTest, EmojiAcrossTheOldCutGoesWhole) {
  std::u16string body(158, u'x');
  body += u"\U0001F600 and on";
  SlotMessage message = Write(body);
  EXPECT_EQ(message.body, body);
  EXPECT_TRUE(message.bodyWhole);
}

TEST_F(ChannelSlotTest, LongSendersGoWholeUpToTheirField) {
  for (size_t units : {size_t{256}, size_t{600}, kSlotSenderUnits - 1}) {
    SCOPED_TRACE(units);
    std::u16string sender(units, u's');
    SlotMessage message = Write(u"hi", sender);
    EXPECT_EQ(message.sender, sender);
    EXPECT_TRUE(message.senderWhole);
    EXPECT_EQ(slot_->senderLength, units);
  }
}

TEST_F(ChannelSlotTest, TextsLongerThanTheirFieldsAreCutFlaggedAndKeepTheirLength) {
  SlotMessage message = Write(std::u16string(kSlotBodyUnits, u'b'), u"5550100");
  EXPECT_EQ(message.body, std::u16string(kSlotBodyUnits - 1, u'b'));
  EXPECT_FALSE(message.bodyWhole);
  EXPECT_TRUE(message.senderWhole) << "the cut of one field says nothing about the other";
  EXPECT_EQ(slot_->flags, kSlotBodyCut);
  EXPECT_EQ(slot_->bodyLength, kSlotBodyUnits);
  EXPECT_EQ(slot_->body[kSlotBodyUnits - 1], u'\0');

  message = Write(std::u16string(100000, u'b'), std::u16string(5000, u's'));
  EXPECT_EQ(message.body.size(), kSlotBodyUnits - 1);
  EXPECT_EQ(message.sender, std::u16string(kSlotSenderUnits - 1, u's'));
  EXPECT_FALSE(message.bodyWhole);
  EXPECT_FALSE(message.senderWhole);
  EXPECT_EQ(slot_->flags, kSlotBodyCut | kSlotSenderCut);
  EXPECT_EQ(slot_->bodyLength, 100000u);
  EXPECT_EQ(slot_->senderLength, 5000u);
  EXPECT_EQ(slot_->sender[kSlotSenderUnits - 1], u'\0');
}

TEST_F(ChannelSlotTest, CutNeverSplitsASurrogatePair) {
  // Units 40958 and 40959 are the pair: only its first half would fit beside the terminator.
  std::u16string body(kSlotBodyUnits - 2, u'x');
  body += u"\U0001F600";
  SlotMessage message = Write(body);
  EXPECT_EQ(message.body, std::u16string(kSlotBodyUnits - 2, u'x'));
  EXPECT_FALSE(EndsInHalfAPair(message.body));
  EXPECT_FALSE(message.bodyWhole);

  std::u16string fits(kSlotBodyUnits - 3, u'x');
  fits += u"\U0001F600";
  message = Write(fits);
  EXPECT_EQ(message.body, fits);
  EXPECT_TRUE(message.bodyWhole);

  std::u16string sender(kSlotSenderUnits - 2, u'1');
  sender += u"\U0001F4DE";
  message = Write(u"hi", sender);
  EXPECT_EQ(message.sender, std::u16string(kSlotSenderUnits - 2, u'1'));
  EXPECT_FALSE(message.senderWhole);
}

TEST_F(ChannelSlotTest, ShorterMessageLeavesNothingOfTheOneBefore) {
  Write(std::u16string(40000, u'o'), std::u16string(1000, u'o'));
  SlotMessage message = Write(u"new", u"2");
  EXPECT_EQ(message.body, u"new");
  EXPECT_EQ(slot_->flags, 0u);
  for (size_t i = 3; i < kSlotBodyUnits; ++i) ASSERT_EQ(slot_->body[i], u'\0') << i;
  for (size_t i = 1; i < kSlotSenderUnits; ++i) ASSERT_EQ(slot_->sender[i], u'\0') << i;
}

TEST_F(ChannelSlotTest, EmbeddedTerminatorEndsTheText) {
  SlotMessage message = Write(std::u16string(u"one\0two", 7));
  EXPECT_EQ(message.body, u"one");
  EXPECT_TRUE(message.bodyWhole);
  EXPECT_EQ(slot_->bodyLength, 3u);
}

// The slot as another process may leave it: every field is read, none is believed.
class ChannelSlotReaderTest : public ChannelSlotTest {};

TEST_F(ChannelSlotReaderTest, UnterminatedFieldsEndAtTheirFieldBoundariesAndAreNotWhole) {
  std::vector<unsigned char> bytes(sizeof(ChannelSlot), 0x41);
  SlotMessage message;
  ASSERT_TRUE(ReadChannelSlot(bytes.data(), bytes.size(), &message));
  EXPECT_EQ(message.body, std::u16string(kSlotBodyUnits, u'\u4141'));
  EXPECT_EQ(message.sender, std::u16string(kSlotSenderUnits, u'\u4141'));
  EXPECT_FALSE(message.bodyWhole);
  EXPECT_FALSE(message.senderWhole);
  EXPECT_EQ(message.ticket, 0x4141414141414141ull);
  EXPECT_EQ(message.deliveryTime.dwLowDateTime, 0x41414141u);

  // Missing terminators alone, with lengths and flags that claim whole texts.
  Write(u"short", u"1");
  slot_->bodyLength = kSlotBodyUnits;
  std::fill(std::begin(slot_->body), std::end(slot_->body), u'b');
  message = ReadChannelSlot(*slot_);
  EXPECT_EQ(message.body.size(), kSlotBodyUnits);
  EXPECT_FALSE(message.bodyWhole);
  EXPECT_TRUE(message.senderWhole);
}

TEST_F(ChannelSlotReaderTest, LengthsThatDisagreeWithTheTextAreNotWhole) {
  for (uint32_t stated : {0u, 4u, 6u, static_cast<uint32_t>(kSlotBodyUnits), 0xFFFFFFFFu}) {
    SCOPED_TRACE(stated);
    Write(u"hello", u"5550100");
    slot_->bodyLength = stated;
    slot_->senderLength = stated;
    SlotMessage message = ReadChannelSlot(*slot_);
    EXPECT_EQ(message.body, u"hello") << "the text is handed over as it stands";
    EXPECT_EQ(message.sender, u"5550100");
    EXPECT_FALSE(message.bodyWhole);
    EXPECT_FALSE(message.senderWhole);
  }
}

TEST_F(ChannelSlotReaderTest, FlagsDecideWholenessAndUnknownBitsTrustNeitherField) {
  Write(u"hello", u"5550100");
  slot_->flags = kSlotBodyCut;
  SlotMessage message = ReadChannelSlot(*slot_);
  EXPECT_FALSE(message.bodyWhole) << "the writer said it cut the body";
  EXPECT_TRUE(message.senderWhole);
  slot_->flags = kSlotSenderCut;
  message = ReadChannelSlot(*slot_);
  EXPECT_TRUE(message.bodyWhole);
  EXPECT_FALSE(message.senderWhole);
  for (uint32_t garbage : {4u, 0x80000000u, 0xFFFFFFFFu}) {
    slot_->flags = garbage;
    message = ReadChannelSlot(*slot_);
    EXPECT_FALSE(message.bodyWhole) << garbage;
    EXPECT_FALSE(message.senderWhole) << garbage;
    EXPECT_EQ(message.body, u"hello");
  }
}

TEST_F(ChannelSlotReaderTest, TooFewBytesAreRefusedAndLeaveTheOutputAlone) {
  std::vector<unsigned char> bytes(sizeof(ChannelSlot) - 1, 0);
  SlotMessage message;
  message.body = u"kept";
  EXPECT_FALSE(ReadChannelSlot(bytes.data(), bytes.size(), &message));
  EXPECT_FALSE(ReadChannelSlot(nullptr, 0, &message));
  EXPECT_EQ(message.body, u"kept");
}

}  // namespace
}  // namespace brevalo
