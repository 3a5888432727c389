#include "app/document_properties.h"

#include <gtest/gtest.h>

#include <cstring>

#include "device/device_properties.h"
#include "device/kernel_test_support.h"
#include "device/system_time.h"

namespace brevalo {
namespace {

TEST(DocumentPropertiesTest, ANewHeaderTemplateHoldsOnlyTheAuthorInTheDeviceCodePage) {
  StoreHeader header = NewHeaderTemplate(u"Zoë", DocumentCodePage(1252));
  uint8_t bytes[kHeaderSize];
  EncodeHeader(header, 0, bytes);
  // Key 0 scrambles the text fields with all ones: undo that to see the plain bytes.
  ScrambleWords(~0u, bytes + kHeaderPassword, kHeaderPasswordSize / 4);
  ScrambleWords(~0u, bytes + kHeaderAuthor, kHeaderAuthorSize / 4);
  uint8_t expected[kHeaderSize] = {};
  const uint8_t author[] = {'Z', 'o', 0xEB};
  std::memcpy(expected + kHeaderAuthor, author, sizeof author);
  EXPECT_EQ(0, std::memcmp(bytes, expected, kHeaderSize));

  StoreHeader utf8 = NewHeaderTemplate(u"Zoë", DocumentCodePage(65001));
  EXPECT_EQ(std::string(utf8.author), "Zo\xC3\xAB");
}

TEST(DocumentPropertiesTest, ALongAuthorIsCutAtACharacterAndKeepsItsTerminator) {
  StoreHeader header = NewHeaderTemplate(u"abcdefghijklmnopqrst", DocumentCodePage(65001));
  EXPECT_EQ(std::string(header.author, strnlen(header.author, kHeaderAuthorSize)), "abcdefghijklmno");
  // Fourteen letters and a two-byte letter fill 16 bytes: the two-byte letter goes whole.
  header = NewHeaderTemplate(u"abcdefghijklmnö", DocumentCodePage(65001));
  EXPECT_EQ(std::string(header.author), "abcdefghijklmn");
  EXPECT_EQ(header.author[kHeaderAuthorSize - 1], '\0');
  EXPECT_EQ(DocumentCodePage(999999).Number(), 65001u);
}

TEST(DocumentPropertiesTest, ANodeAuthorKeepsFifteenOfSixteenTypedCharacters) {
  EXPECT_EQ(KeptRecordAuthor(u"0123456789abcdef"), u"0123456789abcde");
  EXPECT_EQ(KeptRecordAuthor(u"short"), u"short");
  std::u16string withPair = std::u16string(14, u'a') + u"\U0001F600";
  EXPECT_EQ(KeptRecordAuthor(withPair), std::u16string(14, u'a'));
}

TEST(DocumentPropertiesTest, DatesShowInTheUsersFormats) {
  testing::TempDevice temp;
  Registry registry(temp.device().RegistryFile());
  std::tm moment{};
  moment.tm_year = 2026 - 1900;
  moment.tm_mon = 2;
  moment.tm_mday = 7;
  moment.tm_hour = 14;
  moment.tm_min = 5;
  moment.tm_sec = 9;
  moment.tm_isdst = -1;
  DATE date = 0;
  ASSERT_TRUE(TmToOleDate(moment, &date));
  EXPECT_EQ(DocumentDateText(registry, date), u"3/7/2026 2:05:09 PM");
  registry.SetString(RegRoot::CurrentUser, kInternationalKey, kShortDateValue, u"dd.MM.yyyy");
  registry.SetString(RegRoot::CurrentUser, kInternationalKey, kTimeFormatValue, u"HH:mm");
  EXPECT_EQ(DocumentDateText(registry, date), u"07.03.2026 14:05");
  EXPECT_EQ(DocumentDateText(registry, 0), u"");
}

}  // namespace
}  // namespace brevalo
