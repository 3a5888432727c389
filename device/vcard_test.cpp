// The contact list's vCard text: what other phones and address books write, and our own round trip.
#include "device/vcard.h"

#include <gtest/gtest.h>

#include <fstream>

#include "device/kernel_test_support.h"
#include "device/phone_contacts.h"

namespace brevalo {
namespace {

TEST(VCardTest, ReadsVersionThreeAndFourCards) {
  const char* text =
      "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Ann Lee\r\nN:Lee;Ann;;;\r\n"
      "TEL;TYPE=CELL,VOICE:+8613800138000\r\nTEL;TYPE=HOME:010 5550 100\r\n"
      "CATEGORIES:Friends,Work\r\nEND:VCARD\r\n"
      "BEGIN:VCARD\nVERSION:4.0\nFN:Bob\nTEL;VALUE=uri;TYPE=\"work,voice\";PREF=1:tel:+1-555-0100;ext=12\n"
      "item1.TEL;type=cell:13911112222\nEND:VCARD\n";
  std::vector<Contact> contacts = ParseVCards(text);
  ASSERT_EQ(contacts.size(), 2u);
  EXPECT_EQ(contacts[0], (Contact{u"Ann Lee", u"+8613800138000", u"010 5550 100", u"",
                                  {u"Friends", u"Work"}}));
  EXPECT_EQ(contacts[1], (Contact{u"Bob", u"13911112222", u"", u"+1-555-0100", {}}));
}

TEST(VCardTest, FoldedLinesEscapesAndOlderForms) {
  const char* text =
      "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Klein;Dora\r\nTEL;HOME;VOICE:+4930\r\n"
      "TEL:+49170\r\nTEL;CELL:+49171\r\nNOTE:skipped\r\n"
      "CATEGORIES:A\\, B,  Family,\r\n C\r\nEND:VCARD\r\n";
  std::vector<Contact> contacts = ParseVCards(text);
  ASSERT_EQ(contacts.size(), 1u);
  EXPECT_EQ(contacts[0].name, u"Dora Klein");  // from N, given name first
  EXPECT_EQ(contacts[0].home, u"+4930");
  EXPECT_EQ(contacts[0].mobile, u"+49170");  // untyped took the free mobile slot first
  EXPECT_EQ(contacts[0].categories,
            (std::vector<std::u16string>{u"A, B", u"  Family", u"C"}));
}

TEST(VCardTest, DamagedInputGivesWhatCanBeRead) {
  // Lines without a colon, a nested card, an unknown END and a card cut off at the end.
  const char* text =
      "garbage\nEND:VCARD\nBEGIN:VCARD\nFN:Outer\nBEGIN:VCARD\nFN:Inner\nEND:VCARD\n"
      "TEL;TYPE=WORK:1\nno colon here\nEND:VCARD\nBEGIN:VCARD\nFN:Cut\nTEL:2";
  std::vector<Contact> contacts = ParseVCards(text);
  ASSERT_EQ(contacts.size(), 2u);
  EXPECT_EQ(contacts[0].name, u"Outer");
  EXPECT_EQ(contacts[0].work, u"1");
  EXPECT_EQ(contacts[1].name, u"Cut");
  EXPECT_EQ(contacts[1].mobile, u"2");
  // A NUL inside a value is kept, not taken for a separator.
  const char withNul[] = "BEGIN:VCARD\nFN:a\0b\nCATEGORIES:x\0y,z\nEND:VCARD\n";
  std::vector<Contact> odd = ParseVCards(std::string_view(withNul, sizeof withNul - 1));
  ASSERT_EQ(odd.size(), 1u);
  EXPECT_EQ(odd[0].name, std::u16string(u"a\0b", 3));
  EXPECT_EQ(odd[0].categories.size(), 2u);
  EXPECT_TRUE(ParseVCards("").empty());
  EXPECT_TRUE(ParseVCards(std::string("\0\xff\xfe:", 4)).empty());
}

TEST(VCardTest, WrittenCardsReadBackTheSame) {
  std::vector<Contact> contacts = PhoneContacts::Samples();
  contacts.push_back({u"Semi;colon, comma\\back\nline", u"+1;2", u"", u"9",
                      {u"a,b", u"\u4e2d\u6587"}});
  contacts.push_back({std::u16string(60, u'\u738b'), u"1", u"", u"", {}});  // folded mid-line
  std::string text = FormatVCards(contacts);
  for (size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    EXPECT_LE(end - start, 75u);
  }
  EXPECT_EQ(ParseVCards(text), contacts);
  EXPECT_EQ(CategoriesText(contacts[1]), u"Work, Friends");
}

TEST(VCardTest, TheDeviceFileKeepsEveryAddedContact) {
  testing::TempDevice temp;
  std::string error;
  EXPECT_EQ(PhoneContacts::Load(temp.device(), &error)->size(), 0u);  // no file yet
  ASSERT_TRUE(PhoneContacts::Save(temp.device(), PhoneContacts::Samples(), &error)) << error;
  ASSERT_TRUE(PhoneContacts::Add(temp.device(), {u"Eve", u"", u"", u"42", {}}, &error)) << error;
  std::optional<std::vector<Contact>> contacts = PhoneContacts::Load(temp.device(), &error);
  ASSERT_TRUE(contacts);
  ASSERT_EQ(contacts->size(), PhoneContacts::Samples().size() + 1);
  EXPECT_EQ(contacts->back().work, u"42");
  std::filesystem::remove(PhoneContacts::FileOf(temp.device()));
  std::filesystem::create_directory(PhoneContacts::FileOf(temp.device()));  // unreadable
  EXPECT_FALSE(PhoneContacts::Load(temp.device(), &error));
  EXPECT_FALSE(PhoneContacts::Add(temp.device(), {u"Eve", u"1", u"", u"", {}}, &error));
}

}  // namespace
}  // namespace brevalo
