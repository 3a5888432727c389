#include "device/phone_database.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>
#include <set>

#include "device/kernel_test_support.h"

namespace brevalo {
namespace {

using testing::Child;
using testing::Pipe;
using testing::TempDevice;

class PhoneDatabaseTest : public ::testing::Test {
 protected:
  std::unique_ptr<PhoneDatabase> OpenDb() {
    std::string error;
    auto db = PhoneDatabase::OpenDevice(device_.device(), &error);
    EXPECT_NE(db, nullptr) << error;
    return db;
  }

  // Runs SQL on the file behind the database's back, as a foreign or damaged writer would.
  void RawSql(const std::string& sql) {
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(PhoneDatabase::FileOf(device_.device()).c_str(), &raw), SQLITE_OK);
    char* message = nullptr;
    EXPECT_EQ(sqlite3_exec(raw, sql.c_str(), nullptr, nullptr, &message), SQLITE_OK)
        << (message ? message : "");
    sqlite3_free(message);
    sqlite3_close(raw);
  }

  static PhoneMessage Message(PhoneFolder folder, std::u16string sender, std::u16string text) {
    PhoneMessage message;
    message.folder = folder;
    message.sender = std::move(sender);
    message.text = std::move(text);
    message.deliveryTime = 133800000000000000ull;
    return message;
  }

  TempDevice device_;
};

TEST_F(PhoneDatabaseTest, MessagesKeepEveryFieldAndTheirFolder) {
  auto db = OpenDb();
  PhoneMessage inbox = Message(PhoneFolder::Inbox, u"+4912345", u"Grüße 你好 \U0001F600");
  inbox.flags = kPhoneMessageRead;
  inbox.messageClass = u"IPM.SMStext.Other";
  auto inboxId = db->AddMessage(inbox);
  auto sentId = db->AddMessage(Message(PhoneFolder::Sent, u"555", u"sent"));
  ASSERT_TRUE(inboxId && sentId);
  EXPECT_NE(*inboxId, *sentId);

  std::vector<PhoneMessage> listed;
  ASSERT_TRUE(db->ListMessages(PhoneFolder::Inbox, &listed));
  ASSERT_EQ(listed.size(), 1u);
  EXPECT_EQ(listed[0].id, *inboxId);
  EXPECT_EQ(listed[0].sender, inbox.sender);
  EXPECT_EQ(listed[0].text, inbox.text);
  EXPECT_EQ(listed[0].deliveryTime, inbox.deliveryTime);
  EXPECT_EQ(listed[0].flags, kPhoneMessageRead);
  EXPECT_EQ(listed[0].messageClass, u"IPM.SMStext.Other");

  ASSERT_TRUE(db->ListMessages(std::nullopt, &listed));
  EXPECT_EQ(listed.size(), 2u);
  ASSERT_TRUE(db->ListMessages(PhoneFolder::Other, &listed));
  EXPECT_TRUE(listed.empty());

  auto sent = db->GetMessage(*sentId);
  ASSERT_TRUE(sent);
  EXPECT_EQ(sent->folder, PhoneFolder::Sent);
  EXPECT_EQ(sent->text, u"sent");
}

TEST_F(PhoneDatabaseTest, DeletingHonoursTheFolderAndNeverReusesIdentifiers) {
  auto db = OpenDb();
  auto first = db->AddMessage(Message(PhoneFolder::Sent, u"1", u"a"));
  ASSERT_TRUE(first);
  EXPECT_FALSE(db->DeleteMessage(*first, PhoneFolder::Inbox));
  EXPECT_TRUE(db->GetMessage(*first));
  EXPECT_TRUE(db->DeleteMessage(*first, PhoneFolder::Sent));
  EXPECT_FALSE(db->DeleteMessage(*first));
  EXPECT_FALSE(db->GetMessage(*first));
  EXPECT_TRUE(db->LastError().empty()) << "a missing message is not an error";

  // The last row went; a new message must still not take over the old name.
  auto second = db->AddMessage(Message(PhoneFolder::Inbox, u"2", u"b"));
  ASSERT_TRUE(second);
  EXPECT_GT(*second, *first);
}

TEST_F(PhoneDatabaseTest, StoresAreAddedOnceAndFoundById) {
  auto db = OpenDb();
  auto sms = db->EnsureStore(kSmsStoreName);
  auto other = db->EnsureStore(u"Mail");
  ASSERT_TRUE(sms && other);
  EXPECT_EQ(db->EnsureStore(kSmsStoreName), sms);
  std::vector<PhoneStore> stores;
  ASSERT_TRUE(db->ListStores(&stores));
  ASSERT_EQ(stores.size(), 2u);
  EXPECT_EQ(stores[0].name, u"SMS");
  EXPECT_EQ(db->FindStore(*other)->name, u"Mail");
  EXPECT_FALSE(db->FindStore(*other + 100));
}

TEST_F(PhoneDatabaseTest, OutboxAndCallLog) {
  auto db = OpenDb();
  OutboxEntry flash;
  flash.recipient = u"+4917012";
  flash.addressType = 2;
  flash.text = u"flash ü";
  flash.messageClass = 0;
  flash.statusReport = true;
  flash.time = 42;
  ASSERT_TRUE(db->AppendOutbox(flash));
  OutboxEntry plain;
  plain.recipient = u"12";
  ASSERT_TRUE(db->AppendOutbox(plain));

  std::vector<OutboxEntry> outbox;
  ASSERT_TRUE(db->ListOutbox(&outbox));
  ASSERT_EQ(outbox.size(), 2u);
  EXPECT_EQ(outbox[0].recipient, u"+4917012");
  EXPECT_EQ(outbox[0].addressType, 2u);
  EXPECT_EQ(outbox[0].text, u"flash ü");
  EXPECT_TRUE(outbox[0].Flash());
  EXPECT_TRUE(outbox[0].statusReport);
  EXPECT_EQ(outbox[0].time, 42u);
  EXPECT_FALSE(outbox[1].Flash());
  EXPECT_FALSE(outbox[1].statusReport);

  ASSERT_TRUE(db->ClearOutbox());
  ASSERT_TRUE(db->ListOutbox(&outbox));
  EXPECT_TRUE(outbox.empty());

  ASSERT_TRUE(db->AppendCall({0, u"0301234", 7}));
  ASSERT_TRUE(db->AppendCall({0, u"112", 8}));
  std::vector<CallEntry> calls;
  ASSERT_TRUE(db->ListCalls(&calls));
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].number, u"0301234");
  EXPECT_EQ(calls[1].time, 8u);
}

TEST_F(PhoneDatabaseTest, ForeignRowsDoNotBreakReading) {
  { auto db = OpenDb(); }
  RawSql(
      "INSERT INTO messages(folder, sender, text, delivery_time, flags, message_class) VALUES"
      "(9, 'x', 'unknown folder', 0, 0, ''),"
      "(0, x'00ff', 'blob sender', 'not a number', -1, 5)");
  auto db = OpenDb();
  std::vector<PhoneMessage> listed;
  ASSERT_TRUE(db->ListMessages(std::nullopt, &listed));
  ASSERT_EQ(listed.size(), 1u);
  EXPECT_EQ(listed[0].text, u"blob sender");
  EXPECT_EQ(listed[0].messageClass, u"5");
}

TEST_F(PhoneDatabaseTest, FilesThatAreNotOursAreRefused) {
  std::filesystem::create_directories(device_.device().PhoneDir());
  {
    std::ofstream(PhoneDatabase::FileOf(device_.device())) << "this is not a database at all";
  }
  std::string error;
  EXPECT_EQ(PhoneDatabase::OpenDevice(device_.device(), &error), nullptr);
  EXPECT_NE(error.find("messages.db"), std::string::npos) << error;

  std::filesystem::remove(PhoneDatabase::FileOf(device_.device()));
  { auto db = OpenDb(); }
  RawSql("PRAGMA user_version=7");
  EXPECT_EQ(PhoneDatabase::OpenDevice(device_.device(), &error), nullptr);
  EXPECT_NE(error.find("newer"), std::string::npos) << error;
}

TEST_F(PhoneDatabaseTest, TwoProcessesCreateAndWriteOneFileWithoutLosingRows) {
  constexpr int kRowsEach = 150;
  Pipe start;
  auto writer = [&](char16_t tag) {
    return [&, tag]() {
      if (!start.Await()) return 10;
      std::string error;
      auto db = PhoneDatabase::OpenDevice(device_.device(), &error);
      if (db == nullptr) {
        ADD_FAILURE() << error;
        return 11;
      }
      for (int i = 0; i < kRowsEach; ++i) {
        PhoneMessage message = Message(PhoneFolder::Inbox, std::u16string(1, tag), u"m");
        if (!db->AddMessage(message)) return 12;
        OutboxEntry entry;
        entry.recipient = std::u16string(1, tag);
        if (!db->AppendOutbox(entry)) return 13;
      }
      return 0;
    };
  };
  // Both children open a file that does not exist yet at the same moment.
  Child a(writer(u'a'));
  Child b(writer(u'b'));
  start.Signal(2);
  EXPECT_EQ(a.Wait(60000), 0);
  EXPECT_EQ(b.Wait(60000), 0);

  auto db = OpenDb();
  std::vector<PhoneMessage> messages;
  ASSERT_TRUE(db->ListMessages(PhoneFolder::Inbox, &messages));
  EXPECT_EQ(messages.size(), 2u * kRowsEach);
  std::set<int64_t> ids;
  for (const auto& message : messages) ids.insert(message.id);
  EXPECT_EQ(ids.size(), messages.size());
  std::vector<OutboxEntry> outbox;
  ASSERT_TRUE(db->ListOutbox(&outbox));
  EXPECT_EQ(outbox.size(), 2u * kRowsEach);
}

TEST_F(PhoneDatabaseTest, AChangeInOneProcessIsSeenByAnOpenConnectionOfAnother) {
  auto db = OpenDb();
  auto id = db->AddMessage(Message(PhoneFolder::Inbox, u"1", u"doomed"));
  ASSERT_TRUE(id);
  Child child([&]() {
    auto other = PhoneDatabase::OpenDevice(device_.device());
    return other != nullptr && other->DeleteMessage(*id, PhoneFolder::Inbox) ? 0 : 1;
  });
  ASSERT_EQ(child.Wait(), 0);
  EXPECT_FALSE(db->GetMessage(*id));
}

TEST(PhoneFolderNames, RoundTrip) {
  for (PhoneFolder folder : {PhoneFolder::Inbox, PhoneFolder::Other, PhoneFolder::Sent}) {
    EXPECT_EQ(ParsePhoneFolder(PhoneFolderName(folder)), folder);
  }
  EXPECT_FALSE(ParsePhoneFolder("Inbox"));
}

}  // namespace
}  // namespace brevalo
