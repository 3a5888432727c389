#include "channel/channel_slot.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace brevalo {
namespace {

constexpr FILETIME kTime{0x89ABCDEFu, 0x01D9A1B2u};

class ChannelSlotTest : public ::testing::Test {
 protected:
  const unsigned char* Bytes() const { return reinterpret_cast<const unsigned char*>(&slot_); }
  ChannelSlot slot_{};
};

TEST_F(ChannelSlotTest, RoundTripKeepsTextSenderAndTime) {
  WriteChannelSlot(&slot_, u"Hello \u4e16\u754c \U0001F600", u"+491701234567", kTime);
  SlotMessage message = ReadChannelSlot(slot_);
  EXPECT_EQ(message.body, u"Hello \u4e16\u754c \U0001F600");
  EXPECT_EQ(message.sender, u"+491701234567");
  EXPECT_EQ(message.deliveryTime.dwLowDateTime, kTime.dwLowDateTime);
  EXPECT_EQ(message.deliveryTime.dwHighDateTime, kTime.dwHighDateTime);
  // The time sits little-endian at offset 832, where the other side looks for it.
  EXPECT_EQ(Bytes()[832], 0xEF);
  EXPECT_EQ(Bytes()[839], 0x01);
}

TEST_F(ChannelSlotTest, LongFieldsAreCutAndStayTerminatedInsideTheSlot) {
  std::u16string body(400, u'b');
  std::u16string sender(600, u's');
  WriteChannelSlot(&slot_, body, sender, kTime);
  EXPECT_EQ(ReadChannelSlot(slot_).body, std::u16string(159, u'b'));
  EXPECT_EQ(ReadChannelSlot(slot_).sender, std::u16string(255, u's'));
  EXPECT_EQ(slot_.body[159], u'\0');
  EXPECT_EQ(slot_.sender[255], u'\0');
  EXPECT_EQ(slot_.deliveryTime.dwLowDateTime, kTime.dwLowDateTime) << "the cut overran the time";
}

TEST_F(ChannelSlotTest, CutNeverSplitsASurrogatePair) {
  std::u16string body(158, u'x');
  body += u"\U0001F600";  // units 158 and 159: only the high half would fit
  WriteChannelSlot(&slot_, body, u"1", kTime);
  EXPECT_EQ(ReadChannelSlot(slot_).body, std::u16string(158, u'x'));
  std::u16string fits(157, u'x');
  fits += u"\U0001F600";
  WriteChannelSlot(&slot_, fits, u"1", kTime);
  EXPECT_EQ(ReadChannelSlot(slot_).body, fits);
}

TEST_F(ChannelSlotTest, ShorterMessageLeavesNothingOfTheOneBefore) {
  WriteChannelSlot(&slot_, std::u16string(150, u'o'), std::u16string(200, u'o'), kTime);
  WriteChannelSlot(&slot_, u"new", u"2", kTime);
  for (size_t i = 3; i < kSlotBodyUnits; ++i) ASSERT_EQ(slot_.body[i], u'\0') << i;
  for (size_t i = 1; i < kSlotSenderUnits; ++i) ASSERT_EQ(slot_.sender[i], u'\0') << i;
}

TEST_F(ChannelSlotTest, EmbeddedTerminatorEndsTheText) {
  WriteChannelSlot(&slot_, std::u16string(u"one\0two", 7), u"5", kTime);
  EXPECT_EQ(ReadChannelSlot(slot_).body, u"one");
}

TEST(ChannelSlotReaderTest, UnterminatedFieldsEndAtTheirFieldBoundaries) {
  std::vector<unsigned char> bytes(sizeof(ChannelSlot), 0x41);
  SlotMessage message;
  ASSERT_TRUE(ReadChannelSlot(bytes.data(), bytes.size(), &message));
  EXPECT_EQ(message.body, std::u16string(kSlotBodyUnits, u'\u4141'));
  EXPECT_EQ(message.sender, std::u16string(kSlotSenderUnits, u'\u4141'));
  EXPECT_EQ(message.deliveryTime.dwLowDateTime, 0x41414141u);
}

TEST(ChannelSlotReaderTest, TooFewBytesAreRefusedAndLeaveTheOutputAlone) {
  std::vector<unsigned char> bytes(sizeof(ChannelSlot) - 1, 0);
  SlotMessage message;
  message.body = u"kept";
  EXPECT_FALSE(ReadChannelSlot(bytes.data(), bytes.size(), &message));
  EXPECT_FALSE(ReadChannelSlot(nullptr, 0, &message));
  EXPECT_EQ(message.body, u"kept");
}

}  // namespace
}  // namespace brevalo
