#include "settings/phone_sms_store.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "device/kernel_test_support.h"
#include "device/mapi_entry_id.h"
#include "device/mapi_session.h"
#include "device/phone_database.h"

namespace brevalo {
namespace {

using testing::TempDevice;

class PhoneSmsStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    db_ = PhoneDatabase::OpenDevice(device_.device());
    ASSERT_NE(db_, nullptr);
    ASSERT_TRUE(db_->EnsureStore(u"Mail"));
    MapiUseDevice(device_.dir());
  }

  void AddSmsStore() { ASSERT_TRUE(db_->EnsureStore(kSmsStoreName)); }

  int64_t Add(PhoneFolder folder, std::u16string sender, std::u16string text) {
    PhoneMessage message;
    message.folder = folder;
    message.sender = std::move(sender);
    message.text = std::move(text);
    FILETIME now = GetSystemTimeAsFileTime();
    message.deliveryTime = static_cast<uint64_t>(now.dwHighDateTime) << 32 | now.dwLowDateTime;
    auto id = db_->AddMessage(message);
    EXPECT_TRUE(id);
    return id.value_or(0);
  }

  std::vector<ImportEntry> List(int folder, int expected) {
    std::vector<ImportEntry> rows;
    EXPECT_EQ(ListPhoneFolder(folder, clock_, &rows), expected);
    return rows;
  }

  TempDevice device_;
  std::unique_ptr<PhoneDatabase> db_;
  ImportClock clock_{GetLocalTime(), {u"M/d/yyyy", u"H:mm"}};
};

TEST_F(PhoneSmsStoreTest, InboxRowsCarrySubjectSenderTodaysTimeAndTheirOwnEntryIds) {
  AddSmsStore();
  int64_t first = Add(PhoneFolder::Inbox, u"+491701", u"first 你好");
  Add(PhoneFolder::Inbox, u"+491702", u"second");
  Add(PhoneFolder::Sent, u"+491703", u"not in the inbox");
  std::vector<ImportEntry> rows = List(kPhoneInboxFolder, 2);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].sender, u"+491701");
  EXPECT_EQ(rows[0].text, u"first 你好");
  EXPECT_EQ(rows[1].text, u"second");
  EXPECT_FALSE(rows[0].ticked);
  EXPECT_EQ(rows[0].folder, kPhoneInboxFolder);
  EXPECT_TRUE(rows[0].hasDate);
  // Delivered a moment ago: the time of day, not the date.
  EXPECT_EQ(rows[0].lineOne.find(u'/'), std::u16string::npos) << ToUtf8(rows[0].lineOne);
  EXPECT_NE(rows[0].lineOne.find(u':'), std::u16string::npos) << ToUtf8(rows[0].lineOne);
  EXPECT_EQ(rows[0].lineTwo, u"first 你好");
  std::optional<EntryId> id = DecodeEntryId(rows[0].entryId.data(), rows[0].entryId.size());
  ASSERT_TRUE(id);
  EXPECT_EQ(id->object, static_cast<uint64_t>(first));
}

TEST_F(PhoneSmsStoreTest, SentItemsAreReadWholeFromTheBodyStream) {
  AddSmsStore();
  // Longer than one read of the stream (320 bytes) and than the 159 units of a fixed field.
  std::u16string longText;
  for (int i = 0; i < 50; ++i) longText += u"part " + std::u16string(1, static_cast<char16_t>(u'A' + i % 26)) + u"文 ";
  longText += u"\U0001F600";
  Add(PhoneFolder::Sent, u"+491703", longText);
  std::vector<ImportEntry> rows = List(kPhoneSentFolder, 1);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_GT(longText.size(), 160u);
  EXPECT_EQ(rows[0].text, longText) << "nothing of what may be imported and deleted is cut";
  EXPECT_EQ(rows[0].folder, kPhoneSentFolder);
}

TEST_F(PhoneSmsStoreTest, LongSendersAreKeptWhole) {
  AddSmsStore();
  std::u16string sender(300, u'9');
  Add(PhoneFolder::Inbox, sender, u"hi");
  std::vector<ImportEntry> rows = List(kPhoneInboxFolder, 1);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].sender, sender);
}

TEST_F(PhoneSmsStoreTest, WithoutAStoreNamedSmsNothingIsListedOrDeleted) {
  ASSERT_TRUE(db_->EnsureStore(u"sms"));  // the name is matched exactly
  std::vector<ImportEntry> rows = List(kPhoneInboxFolder, -1);
  EXPECT_TRUE(rows.empty());
  auto id = EncodeEntryId({EntryKind::Message, 1, 1});
  EXPECT_FALSE(DeletePhoneMessage(id, kPhoneInboxFolder));
}

TEST_F(PhoneSmsStoreTest, AMessageIsDeletedThroughTheFolderItWasListedFromOnly) {
  AddSmsStore();
  int64_t sent = Add(PhoneFolder::Sent, u"1", u"sent");
  int64_t received = Add(PhoneFolder::Inbox, u"2", u"received");
  std::vector<ImportEntry> sentRows = List(kPhoneSentFolder, 1);
  std::vector<ImportEntry> inboxRows = List(kPhoneInboxFolder, 1);
  ASSERT_EQ(sentRows.size(), 1u);
  ASSERT_EQ(inboxRows.size(), 1u);

  EXPECT_FALSE(DeletePhoneMessage(sentRows[0].entryId, kPhoneInboxFolder))
      << "the inbox does not hold a sent message";
  EXPECT_TRUE(db_->GetMessage(sent));
  EXPECT_TRUE(DeletePhoneMessage(sentRows[0].entryId, sentRows[0].folder));
  EXPECT_FALSE(db_->GetMessage(sent));
  EXPECT_FALSE(DeletePhoneMessage(sentRows[0].entryId, sentRows[0].folder)) << "gone already";

  std::vector<std::span<const uint8_t>> ids{inboxRows[0].entryId, sentRows[0].entryId};
  std::vector<bool> deleted;
  EXPECT_EQ(DeletePhoneMessages(kPhoneInboxFolder, ids, &deleted), 1u);
  EXPECT_EQ(deleted, (std::vector<bool>{true, false}));
  EXPECT_FALSE(db_->GetMessage(received));
}

TEST_F(PhoneSmsStoreTest, AnUnreadableDeviceListsNothing) {
  AddSmsStore();
  Add(PhoneFolder::Inbox, u"1", u"x");
  db_.reset();
  std::filesystem::remove_all(device_.dir() / "phone");
  std::filesystem::create_directories(device_.dir() / "phone" / "messages.db");  // not a file
  List(kPhoneInboxFolder, -1);
}

}  // namespace
}  // namespace brevalo
