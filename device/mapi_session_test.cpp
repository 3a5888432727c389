#include "device/mapi_session.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device/kernel_test_support.h"
#include "device/mapi_entry_id.h"
#include "device/mapi_memory.h"
#include "device/phone_database.h"

namespace brevalo {
namespace {

using testing::TempDevice;

constexpr uint64_t kMonday = 133800000000000000ull;

// Frees whatever buffer or object a call handed out when the test's scope ends, so that a
// failed assertion still leaves ASan a clean heap.
struct Buffer {
  ~Buffer() { MAPIFreeBuffer(values); }
  ULONG count = 0;
  SPropValue* values = nullptr;
};
struct Rows {
  ~Rows() { FreeProws(rows); }
  SRowSet* rows = nullptr;
};
template <typename T>
struct Ref {
  ~Ref() {
    if (object != nullptr) object->Release();
  }
  T** Put() { return &object; }
  IUnknown** PutUnknown() { return reinterpret_cast<IUnknown**>(&object); }
  T* operator->() const { return object; }
  T* object = nullptr;
};

std::vector<uint8_t> BytesOf(const SBinary& binary) {
  return {binary.lpb, binary.lpb + binary.cb};
}

class MapiSessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    db_ = PhoneDatabase::OpenDevice(device_.device());
    ASSERT_NE(db_, nullptr);
    ASSERT_TRUE(db_->EnsureStore(u"Mail"));
    ASSERT_TRUE(db_->EnsureStore(kSmsStoreName));
    MapiUseDevice(device_.dir());
    ASSERT_EQ(MAPIInitialize(nullptr), S_OK);
  }
  void TearDown() override { MAPIUninitialize(); }

  int64_t Add(PhoneFolder folder, std::u16string sender, std::u16string text) {
    PhoneMessage message;
    message.folder = folder;
    message.sender = std::move(sender);
    message.text = std::move(text);
    message.deliveryTime = kMonday;
    message.flags = kPhoneMessageRead;
    auto id = db_->AddMessage(message);
    EXPECT_TRUE(id);
    return id.value_or(0);
  }

  // The store named "SMS", found as the import finds it: row by row through the stores table,
  // opening each store and reading its display name.
  void OpenSmsStore(IMAPISession* session, Ref<IMsgStore>* sms) {
    Ref<IMAPITable> table;
    ASSERT_EQ(session->GetMsgStoresTable(MAPI_UNICODE, table.Put()), S_OK);
    for (;;) {
      Rows rows;
      ASSERT_EQ(table->QueryRows(1, 0, &rows.rows), S_OK);
      if (rows.rows->cRows == 0) break;
      const SRow& row = rows.rows->aRow[0];
      ASSERT_EQ(row.cValues, 2u);
      ASSERT_EQ(row.lpProps[1].ulPropTag, PR_ENTRYID);
      Ref<IMsgStore> store;
      const SBinary& id = row.lpProps[1].Value.bin;
      ASSERT_EQ(session->OpenMsgStore(0, id.cb, reinterpret_cast<ENTRYID*>(id.lpb), nullptr,
                                      MDB_NO_DIALOG, store.Put()),
                S_OK);
      SizedSPropTagArray<1> nameTag{1, {PR_DISPLAY_NAME}};
      Buffer name;
      ASSERT_EQ(store->GetProps(nameTag.get(), MAPI_UNICODE, &name.count, &name.values), S_OK);
      EXPECT_EQ(std::u16string(row.lpProps[0].Value.lpszW), name.values[0].Value.lpszW);
      if (std::u16string(name.values[0].Value.lpszW) == u"SMS") {
        std::swap(sms->object, store.object);
        return;
      }
    }
  }

  void OpenFolder(IMsgStore* store, ULONG tag, Ref<IMAPIFolder>* folder) {
    SizedSPropTagArray<1> tags{1, {tag}};
    Buffer id;
    ASSERT_EQ(store->GetProps(tags.get(), MAPI_UNICODE, &id.count, &id.values), S_OK);
    ASSERT_EQ(id.values[0].ulPropTag, tag);
    ULONG type = 0;
    const SBinary& bin = id.values[0].Value.bin;
    ASSERT_EQ(store->OpenEntry(bin.cb, reinterpret_cast<ENTRYID*>(bin.lpb), nullptr, MAPI_MODIFY,
                               &type, folder->PutUnknown()),
              S_OK);
    EXPECT_EQ(type, MAPI_FOLDER);
  }

  // Entry identifiers of a folder's contents table, read one row at a time.
  std::vector<std::vector<uint8_t>> ContentsOf(IMAPIFolder* folder) {
    std::vector<std::vector<uint8_t>> ids;
    Ref<IMAPITable> table;
    EXPECT_EQ(folder->GetContentsTable(MAPI_UNICODE, table.Put()), S_OK);
    if (table.object == nullptr) return ids;
    SizedSPropTagArray<3> columns{3, {PR_ENTRYID, PR_MESSAGE_FLAGS, PR_MESSAGE_DELIVERY_TIME}};
    EXPECT_EQ(table->SetColumns(columns.get(), 0), S_OK);
    for (;;) {
      Rows rows;
      if (table->QueryRows(1, 0, &rows.rows) != S_OK || rows.rows->cRows == 0) break;
      const SRow& row = rows.rows->aRow[0];
      EXPECT_EQ(row.cValues, 3u);
      EXPECT_EQ(row.lpProps[1].Value.ul, MSGFLAG_READ);
      EXPECT_EQ(row.lpProps[2].Value.ft.dwHighDateTime, static_cast<uint32_t>(kMonday >> 32));
      ids.push_back(BytesOf(row.lpProps[0].Value.bin));
    }
    return ids;
  }

  TempDevice device_;
  std::unique_ptr<PhoneDatabase> db_;
};

TEST_F(MapiSessionTest, ImportListsBothFoldersWithSubjectSenderTimeAndBodyStream) {
  Add(PhoneFolder::Inbox, u"+491701", u"first 你好");
  Add(PhoneFolder::Inbox, u"+491702", u"second");
  Add(PhoneFolder::Sent, u"+491703", u"a sent text");
  Add(PhoneFolder::Other, u"x", u"elsewhere");

  Ref<IMAPISession> session;
  ASSERT_EQ(MAPILogonEx(0, nullptr, nullptr, 0, session.Put()), S_OK);
  Ref<IMsgStore> sms;
  OpenSmsStore(session.object, &sms);
  ASSERT_NE(sms.object, nullptr);

  Ref<IMAPIFolder> inbox;
  OpenFolder(sms.object, PR_SMS_INBOX_ENTRYID, &inbox);
  auto ids = ContentsOf(inbox.object);
  ASSERT_EQ(ids.size(), 2u);
  for (const auto& id : ids) EXPECT_LE(id.size(), kMaxEntryIdSize);

  Ref<IMessage> first;
  ULONG type = 0;
  ASSERT_EQ(sms->OpenEntry(static_cast<ULONG>(ids[0].size()),
                           reinterpret_cast<const ENTRYID*>(ids[0].data()), nullptr,
                           MAPI_BEST_ACCESS, &type, first.PutUnknown()),
            S_OK);
  EXPECT_EQ(type, MAPI_MESSAGE);
  SizedSPropTagArray<3> wanted{3, {PR_SENDER_EMAIL_ADDRESS, PR_MESSAGE_DELIVERY_TIME, PR_SUBJECT}};
  Buffer props;
  ASSERT_EQ(first->GetProps(wanted.get(), MAPI_UNICODE, &props.count, &props.values), S_OK);
  ASSERT_EQ(props.count, 3u);
  EXPECT_EQ(std::u16string(props.values[0].Value.lpszW), u"+491701");
  EXPECT_EQ(props.values[1].Value.ft.dwLowDateTime, static_cast<uint32_t>(kMonday));
  EXPECT_EQ(std::u16string(props.values[2].Value.lpszW), u"first 你好");

  Ref<IMAPIFolder> sent;
  OpenFolder(sms.object, PR_IPM_SENTMAIL_ENTRYID, &sent);
  auto sentIds = ContentsOf(sent.object);
  ASSERT_EQ(sentIds.size(), 1u);
  Ref<IMessage> sentMessage;
  ASSERT_EQ(sms->OpenEntry(static_cast<ULONG>(sentIds[0].size()),
                           reinterpret_cast<const ENTRYID*>(sentIds[0].data()), nullptr,
                           MAPI_BEST_ACCESS, nullptr, sentMessage.PutUnknown()),
            S_OK);
  Ref<IStream> body;
  ASSERT_EQ(sentMessage->OpenProperty(PR_BODY, &IID_IStream, 0, 0, body.PutUnknown()), S_OK);
  char16_t text[160] = {};
  ULONG read = 0;
  ASSERT_EQ(body->Read(text, 320, &read), S_OK);
  EXPECT_EQ(read, 11u * 2);
  EXPECT_EQ(std::u16string(text, read / 2), u"a sent text");
  ASSERT_EQ(body->Read(text, 320, &read), S_OK);
  EXPECT_EQ(read, 0u) << "a stream ends";

  Ref<IMAPIFolder> third;
  OpenFolder(sms.object, PR_SMS_THIRD_FOLDER_ENTRYID, &third);
  EXPECT_EQ(ContentsOf(third.object).size(), 1u);

  EXPECT_EQ(session->Logoff(0, 0, 0), S_OK);
  Ref<IMAPITable> late;
  EXPECT_EQ(session->GetMsgStoresTable(0, late.Put()), MAPI_E_END_OF_SESSION);
  // What was opened before logging off still works until released.
  EXPECT_EQ(ContentsOf(inbox.object).size(), 2u);
}

TEST_F(MapiSessionTest, RuleClientReadsAMessageAndDeletesItFromItsFolder) {
  int64_t id = Add(PhoneFolder::Inbox, u"+4930", u"delete me");
  Ref<IMsgStore> store;
  ASSERT_EQ(MapiOpenStore(device_.device(), kSmsStoreName, store.Put()), S_OK);

  auto messageId = EncodeEntryId({EntryKind::Message, static_cast<uint32_t>(*db_->EnsureStore(u"SMS")),
                                  static_cast<uint64_t>(id)});
  Ref<IMessage> message;
  ASSERT_EQ(store->OpenEntry(kEntryIdSize, reinterpret_cast<const ENTRYID*>(messageId.data()),
                             nullptr, 0, nullptr, message.PutUnknown()),
            S_OK);
  // One property per call, as the rule client reads them.
  for (ULONG tag : {PR_SUBJECT, PR_SENDER_EMAIL_ADDRESS, PR_MESSAGE_DELIVERY_TIME}) {
    SizedSPropTagArray<1> one{1, {tag}};
    Buffer value;
    EXPECT_EQ(message->GetProps(one.get(), MAPI_UNICODE, &value.count, &value.values), S_OK);
    EXPECT_EQ(value.values[0].ulPropTag, tag);
  }

  Ref<IMAPIFolder> inbox;
  OpenFolder(store.object, PR_SMS_INBOX_ENTRYID, &inbox);
  SBinary entry{kEntryIdSize, messageId.data()};
  ENTRYLIST list{1, &entry};
  EXPECT_EQ(inbox->DeleteMessages(&list, 0, nullptr, 0), S_OK);
  EXPECT_FALSE(db_->GetMessage(id));
  EXPECT_EQ(inbox->DeleteMessages(&list, 0, nullptr, 0), MAPI_E_NOT_FOUND)
      << "deleting nothing is not a success";
  Ref<IMessage> gone;
  EXPECT_EQ(store->OpenEntry(kEntryIdSize, reinterpret_cast<const ENTRYID*>(messageId.data()),
                             nullptr, 0, nullptr, gone.PutUnknown()),
            MAPI_E_NOT_FOUND);
  EXPECT_EQ(gone.object, nullptr);
}

TEST_F(MapiSessionTest, DeletingThroughAnotherFolderLeavesTheMessage) {
  int64_t sentId = Add(PhoneFolder::Sent, u"1", u"sent");
  int64_t inboxId = Add(PhoneFolder::Inbox, u"2", u"in");
  Ref<IMsgStore> store;
  ASSERT_EQ(MapiOpenStore(device_.device(), kSmsStoreName, store.Put()), S_OK);
  Ref<IMAPIFolder> inbox;
  OpenFolder(store.object, PR_SMS_INBOX_ENTRYID, &inbox);
  auto ids = ContentsOf(inbox.object);
  ASSERT_EQ(ids.size(), 1u);

  uint32_t smsStore = static_cast<uint32_t>(*db_->EnsureStore(u"SMS"));
  auto sentEntry = EncodeEntryId({EntryKind::Message, smsStore, static_cast<uint64_t>(sentId)});
  std::vector<SBinary> entries{{kEntryIdSize, sentEntry.data()},
                               {static_cast<ULONG>(ids[0].size()), ids[0].data()}};
  ENTRYLIST list{2, entries.data()};
  EXPECT_EQ(inbox->DeleteMessages(&list, 0, nullptr, 0), MAPI_W_PARTIAL_COMPLETION);
  EXPECT_TRUE(db_->GetMessage(sentId));
  EXPECT_FALSE(db_->GetMessage(inboxId));
}

TEST_F(MapiSessionTest, MissingPropertiesAndStoresWithoutFolders) {
  Ref<IMsgStore> mail;
  ASSERT_EQ(MapiOpenStore(device_.device(), u"Mail", mail.Put()), S_OK);
  SizedSPropTagArray<2> tags{2, {PR_DISPLAY_NAME, PR_SMS_INBOX_ENTRYID}};
  Buffer props;
  ASSERT_EQ(mail->GetProps(tags.get(), MAPI_UNICODE, &props.count, &props.values),
            MAPI_W_ERRORS_RETURNED);
  ASSERT_EQ(props.count, 2u);
  EXPECT_EQ(std::u16string(props.values[0].Value.lpszW), u"Mail");
  EXPECT_EQ(props.values[1].ulPropTag, CHANGE_PROP_TYPE(PR_SMS_INBOX_ENTRYID, PT_ERROR));
  EXPECT_EQ(props.values[1].Value.err, MAPI_E_NOT_FOUND);

  Ref<IMsgStore> none;
  EXPECT_EQ(MapiOpenStore(device_.device(), u"sms", none.Put()), MAPI_E_NOT_FOUND)
      << "the store name is matched exactly";
}

TEST_F(MapiSessionTest, ForeignOrDamagedEntryIdsAreRefused) {
  int64_t id = Add(PhoneFolder::Inbox, u"1", u"t");
  Ref<IMsgStore> sms;
  ASSERT_EQ(MapiOpenStore(device_.device(), kSmsStoreName, sms.Put()), S_OK);
  uint32_t smsStore = static_cast<uint32_t>(*db_->EnsureStore(u"SMS"));
  uint32_t mailStore = static_cast<uint32_t>(*db_->EnsureStore(u"Mail"));

  auto good = EncodeEntryId({EntryKind::Message, smsStore, static_cast<uint64_t>(id)});
  auto otherStore = EncodeEntryId({EntryKind::Message, mailStore, static_cast<uint64_t>(id)});
  auto badFolder = EncodeEntryId({EntryKind::Folder, smsStore, 7});
  auto shortened = good;

  auto open = [&](const uint8_t* bytes, ULONG size) {
    Ref<IUnknown> object;
    HRESULT result = sms->OpenEntry(size, reinterpret_cast<const ENTRYID*>(bytes), nullptr, 0,
                                    nullptr, object.Put());
    EXPECT_EQ(result == S_OK, object.object != nullptr);
    return result;
  };
  EXPECT_EQ(open(good.data(), kEntryIdSize), S_OK);
  EXPECT_EQ(open(good.data(), kEntryIdSize - 1), MAPI_E_INVALID_ENTRYID);
  EXPECT_EQ(open(nullptr, 0), MAPI_E_INVALID_ENTRYID);
  EXPECT_EQ(open(otherStore.data(), kEntryIdSize), MAPI_E_INVALID_ENTRYID);
  EXPECT_EQ(open(badFolder.data(), kEntryIdSize), MAPI_E_NOT_FOUND);
  shortened[5] ^= 1;
  EXPECT_EQ(open(shortened.data(), kEntryIdSize), MAPI_E_INVALID_ENTRYID);

  Ref<IUnknown> wrongInterface;
  EXPECT_EQ(sms->OpenEntry(kEntryIdSize, reinterpret_cast<const ENTRYID*>(good.data()),
                           &IID_IMAPIFolder, 0, nullptr, wrongInterface.Put()),
            MAPI_E_INTERFACE_NOT_SUPPORTED);
}

TEST_F(MapiSessionTest, InterfacesAnswerTheirOwnQueriesOnly) {
  int64_t id = Add(PhoneFolder::Inbox, u"1", u"t");
  Ref<IMsgStore> sms;
  ASSERT_EQ(MapiOpenStore(device_.device(), kSmsStoreName, sms.Put()), S_OK);
  auto entry = EncodeEntryId({EntryKind::Message, static_cast<uint32_t>(*db_->EnsureStore(u"SMS")),
                              static_cast<uint64_t>(id)});
  Ref<IMessage> message;
  ASSERT_EQ(sms->OpenEntry(kEntryIdSize, reinterpret_cast<const ENTRYID*>(entry.data()),
                           &IID_IMessage, 0, nullptr, message.PutUnknown()),
            S_OK);
  Ref<IMAPIProp> prop;
  EXPECT_EQ(message->QueryInterface(IID_IMAPIProp, reinterpret_cast<void**>(prop.Put())), S_OK);
  void* none = &none;
  EXPECT_EQ(message->QueryInterface(IID_IMAPIFolder, &none), E_NOINTERFACE);
  EXPECT_EQ(none, nullptr);
  EXPECT_EQ(message->QueryInterface(IID_IUnknown, nullptr), E_INVALIDARG);

  Ref<IUnknown> stream;
  EXPECT_EQ(message->OpenProperty(PR_BODY, &IID_IStream, 0, MAPI_MODIFY, stream.Put()),
            MAPI_E_NO_ACCESS);
  EXPECT_EQ(message->OpenProperty(PR_MESSAGE_FLAGS, &IID_IStream, 0, 0, stream.Put()),
            MAPI_E_NOT_FOUND);
  EXPECT_EQ(message->OpenProperty(PR_BODY, &IID_IMessage, 0, 0, stream.Put()),
            MAPI_E_INTERFACE_NOT_SUPPORTED);
  EXPECT_EQ(stream.object, nullptr);
}

TEST_F(MapiSessionTest, TablesReadInBatchesAndRefuseBadArguments) {
  for (int i = 0; i < 5; ++i) Add(PhoneFolder::Inbox, u"n", std::u16string(1, u'a' + i));
  Ref<IMsgStore> sms;
  ASSERT_EQ(MapiOpenStore(device_.device(), kSmsStoreName, sms.Put()), S_OK);
  Ref<IMAPIFolder> inbox;
  OpenFolder(sms.object, PR_SMS_INBOX_ENTRYID, &inbox);
  Ref<IMAPITable> table;
  ASSERT_EQ(inbox->GetContentsTable(0, table.Put()), S_OK);
  EXPECT_EQ(table->SetColumns(nullptr, 0), MAPI_E_INVALID_PARAMETER);
  SizedSPropTagArray<1> subject{1, {PR_SUBJECT}};
  ASSERT_EQ(table->SetColumns(subject.get(), 0), S_OK);

  Rows none;
  EXPECT_EQ(table->QueryRows(0, 0, &none.rows), MAPI_E_INVALID_PARAMETER);
  EXPECT_EQ(none.rows, nullptr);
  std::u16string seen;
  for (LONG batch : {3, 3, 3}) {
    Rows rows;
    ASSERT_EQ(table->QueryRows(batch, 0, &rows.rows), S_OK);
    for (ULONG i = 0; i < rows.rows->cRows; ++i) seen += rows.rows->aRow[i].lpProps[0].Value.lpszW;
  }
  EXPECT_EQ(seen, u"abcde");
}

TEST(MapiLogon, NeedsInitializationAndAReadableDevice) {
  TempDevice device;
  MapiUseDevice(device.dir());
  IMAPISession* session = reinterpret_cast<IMAPISession*>(&session);
  EXPECT_EQ(MAPILogonEx(0, nullptr, nullptr, 0, &session), MAPI_E_NOT_INITIALIZED);
  EXPECT_EQ(session, nullptr);

  ASSERT_EQ(MAPIInitialize(nullptr), S_OK);
  std::filesystem::create_directories(device.dir() / "phone" / "messages.db");  // not a file
  EXPECT_EQ(MAPILogonEx(0, nullptr, nullptr, 0, &session), MAPI_E_LOGON_FAILED);
  MAPIUninitialize();
  MAPIUninitialize();  // one too many does not underflow the count
  EXPECT_EQ(MAPILogonEx(0, nullptr, nullptr, 0, &session), MAPI_E_NOT_INITIALIZED);
}

}  // namespace
}  // namespace brevalo
