// corvane as the messaging service meets it: the shared object loaded by name, its class
// factory and rule client, the phone's real message store, and a program side of the channel.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <array>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <thread>

#include "channel/channel_reader.h"
#include "device/com_runtime.h"
#include "device/com_server.h"
#include "device/event_log.h"
#include "device/kernel_test_support.h"
#include "device/mail_rule_client.h"
#include "device/mapi_entry_id.h"
#include "device/mapi_session.h"
#include "device/phone_database.h"
#include "device/registry.h"

namespace brevalo {
namespace {

constexpr CLSID kRuleClientClass{0x20F58816, 0x51E4, 0x418D,
                                 {0x92, 0xDD, 0x83, 0x90, 0x02, 0x1D, 0xCD, 0xCA}};
constexpr uint64_t kDeliveryTicks = 134'000'000'000'000'000ull;

class CorvaneTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("VELMORA_DEVICE", temp_.dir().c_str(), 1);
    library_ = dlopen(CORVANE_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library_, nullptr) << dlerror();
    getClassObject_ =
        reinterpret_cast<DllGetClassObjectFunction>(dlsym(library_, kDllGetClassObject));
    canUnloadNow_ = reinterpret_cast<DllCanUnloadNowFunction>(dlsym(library_, kDllCanUnloadNow));
    ASSERT_TRUE(getClassObject_ && canUnloadNow_);
    database_ = PhoneDatabase::OpenDevice(temp_.device());
    ASSERT_TRUE(database_);
    storeId_ = *database_->EnsureStore(kSmsStoreName);
    ASSERT_EQ(MapiOpenStore(temp_.device(), kSmsStoreName, &store_), S_OK);
  }
  void TearDown() override {
    if (store_ != nullptr) store_->Release();
    if (library_ != nullptr) dlclose(library_);
    unsetenv("VELMORA_DEVICE");
  }

  IClassFactory* Factory() {
    void* factory = nullptr;
    EXPECT_EQ(getClassObject_(kRuleClientClass, IID_IClassFactory, &factory), S_OK);
    return static_cast<IClassFactory*>(factory);
  }

  IMailRuleClient* NewClient() {
    IClassFactory* factory = Factory();
    void* client = nullptr;
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IMailRuleClient, &client), S_OK);
    factory->Release();
    return static_cast<IMailRuleClient*>(client);
  }

  int64_t Deliver(const std::u16string& sender, const std::u16string& text) {
    PhoneMessage message;
    message.folder = PhoneFolder::Inbox;
    message.sender = sender;
    message.text = text;
    message.deliveryTime = kDeliveryTicks;
    return *database_->AddMessage(message);
  }

  struct Outcome {
    HRESULT result;
    ULONG eventType;
    MRCHANDLED handled;
  };

  Outcome Process(IMailRuleClient* client, int64_t message) {
    auto messageId = EncodeEntryId({EntryKind::Message, static_cast<uint32_t>(storeId_),
                                    static_cast<uint64_t>(message)});
    auto folderId = EncodeEntryId({EntryKind::Folder, static_cast<uint32_t>(storeId_),
                                   static_cast<uint64_t>(PhoneFolder::Inbox)});
    Outcome outcome{E_FAIL, 0, 99};
    outcome.result = client->ProcessMessage(
        store_, kEntryIdSize, reinterpret_cast<const ENTRYID*>(messageId.data()), kEntryIdSize,
        reinterpret_cast<const ENTRYID*>(folderId.data()), &outcome.eventType, &outcome.handled);
    return outcome;
  }

  bool InInbox(int64_t message) { return database_->GetMessage(message).has_value(); }

  std::vector<std::string> DebugLines() {
    std::vector<std::string> lines;
    for (const auto& event : EventLog(temp_.device()).Read()) {
      if (event["kind"] == "debug") lines.push_back(event["text"]);
    }
    return lines;
  }

  testing::TempDevice temp_;
  void* library_ = nullptr;
  DllGetClassObjectFunction getClassObject_ = nullptr;
  DllCanUnloadNowFunction canUnloadNow_ = nullptr;
  std::unique_ptr<PhoneDatabase> database_;
  int64_t storeId_ = 0;
  IMsgStore* store_ = nullptr;
};

TEST_F(CorvaneTest, WithNobodyListeningTheMessageIsHandedOverAndKept) {
  IMailRuleClient* client = NewClient();
  MRCACCESS access = 0;
  EXPECT_EQ(client->Initialize(store_, &access), S_OK);
  EXPECT_EQ(access, MRC_ACCESS_WRITE_DELETE);
  int64_t id = Deliver(u"+8613800138000", u"Dinner at eight?");
  Outcome outcome = Process(client, id);
  EXPECT_TRUE(SUCCEEDED(outcome.result));
  EXPECT_EQ(outcome.handled, MRC_NOT_HANDLED);
  EXPECT_TRUE(InInbox(id));

  // The program starting later finds the message waiting in the buffer.
  auto reader = ChannelReader::Open(temp_.device());
  ASSERT_TRUE(reader);
  std::vector<SlotMessage> received;
  reader->ReceiveOnce(1000, [&](const SlotMessage& m) {
    received.push_back(m);
    return true;
  });
  ASSERT_EQ(received.size(), 1u);
  EXPECT_EQ(received[0].body, u"Dinner at eight?");
  EXPECT_EQ(received[0].sender, u"+8613800138000");
  EXPECT_EQ((uint64_t{received[0].deliveryTime.dwHighDateTime} << 32) |
                received[0].deliveryTime.dwLowDateTime,
            kDeliveryTicks);
  client->Release();
}

TEST_F(CorvaneTest, ADeleteAnswerInTimeRemovesTheMessageALateOneLeavesIt) {
  auto reader = ChannelReader::Open(temp_.device());
  ASSERT_TRUE(reader);
  IMailRuleClient* client = NewClient();
  for (int delayMs : {0, 1300}) {
    SCOPED_TRACE(delayMs);
    int64_t id = Deliver(u"10086", u"balance");
    std::thread program([&] {
      reader->ReceiveOnce(3000, [&](const SlotMessage& m) {
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
        reader->AnswerDelete(m.ticket);
        return true;
      });
    });
    Outcome outcome = Process(client, id);
    program.join();
    if (delayMs == 0) {
      EXPECT_EQ(outcome.result, S_OK);
      EXPECT_EQ(outcome.handled, MRC_HANDLED_DONTCONTINUE);
      EXPECT_EQ(outcome.eventType, fnevObjectDeleted);
      EXPECT_FALSE(InInbox(id));
    } else {
      EXPECT_EQ(outcome.handled, MRC_NOT_HANDLED);
      EXPECT_TRUE(InInbox(id));
    }
  }
  client->Release();
}

TEST_F(CorvaneTest, ALongMessageReachesTheProgramWholeAndOnlyItsOwnAnswerDeletesIt) {
  auto reader = ChannelReader::Open(temp_.device());
  ASSERT_TRUE(reader);
  IMailRuleClient* client = NewClient();
  std::u16string text;
  for (int i = 0; i < 1000; ++i) text += static_cast<char16_t>(u'a' + i % 26);
  text += u"\U0001F600";
  for (bool ownTicket : {false, true}) {
    SCOPED_TRACE(ownTicket);
    int64_t id = Deliver(u"+8613800138000", text);
    SlotMessage received;
    std::thread program([&] {
      reader->ReceiveOnce(3000, [&](const SlotMessage& m) {
        received = m;
        // An answer naming another message, as a late one for an earlier message does.
        reader->AnswerDelete(ownTicket ? m.ticket : m.ticket + 1);
        return true;
      });
    });
    Outcome outcome = Process(client, id);
    program.join();
    EXPECT_EQ(received.body, text);
    EXPECT_TRUE(received.bodyWhole);
    EXPECT_NE(received.ticket, 0u);
    EXPECT_EQ(InInbox(id), !ownTicket);
    EXPECT_EQ(outcome.handled, ownTicket ? MRC_HANDLED_DONTCONTINUE : MRC_NOT_HANDLED);
  }
  client->Release();
}

TEST_F(CorvaneTest, AMessageThatCannotBeOpenedIsReportedAndLeftAlone) {
  IMailRuleClient* client = NewClient();
  Outcome outcome = Process(client, 424242);
  EXPECT_TRUE(FAILED(outcome.result));
  std::vector<std::string> lines = DebugLines();
  EXPECT_NE(std::find(lines.begin(), lines.end(), "Unable to get the message!"), lines.end());
  client->Release();
}

TEST_F(CorvaneTest, InterfacesReferencesAndUnloading) {
  void* object = nullptr;
  EXPECT_EQ(getClassObject_(IID_IUnknown, IID_IClassFactory, &object), CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(canUnloadNow_(), S_OK);

  IClassFactory* factory = Factory();
  EXPECT_EQ(factory->QueryInterface(IID_IMailRuleClient, &object), E_NOINTERFACE);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(factory->QueryInterface(IID_IUnknown, nullptr), E_INVALIDARG);
  EXPECT_EQ(factory->CreateInstance(factory, IID_IMailRuleClient, &object), CLASS_E_NOAGGREGATION);
  EXPECT_EQ(factory->CreateInstance(nullptr, IID_IClassFactory, &object), E_NOINTERFACE);
  EXPECT_EQ(factory->QueryInterface(IID_IUnknown, &object), S_OK);
  EXPECT_EQ(static_cast<IUnknown*>(object)->Release(), 1u);

  EXPECT_EQ(factory->LockServer(true), S_OK);
  factory->Release();
  EXPECT_EQ(canUnloadNow_(), S_FALSE);  // locked
  IClassFactory* again = Factory();
  EXPECT_EQ(again->LockServer(false), S_OK);
  void* client = nullptr;
  ASSERT_EQ(again->CreateInstance(nullptr, IID_IUnknown, &client), S_OK);
  again->Release();
  // A live rule client keeps the library mapped, or its code would vanish under the service.
  EXPECT_EQ(canUnloadNow_(), S_FALSE);
  IUnknown* unknown = static_cast<IUnknown*>(client);
  EXPECT_EQ(unknown->QueryInterface(IID_IClassFactory, &object), E_NOINTERFACE);
  EXPECT_EQ(unknown->AddRef(), 2u);
  EXPECT_EQ(unknown->Release(), 1u);
  EXPECT_EQ(unknown->Release(), 0u);
  EXPECT_EQ(canUnloadNow_(), S_OK);

  std::vector<std::string> lines = DebugLines();
  EXPECT_NE(std::find(lines.begin(), lines.end(), "CFactory Deleted!"), lines.end());
  EXPECT_NE(std::find(lines.begin(), lines.end(), "CMailRuleClient Deleted!"), lines.end());
  EXPECT_NE(std::find(lines.begin(), lines.end(), "Factory Reference is now 2"), lines.end());
}

TEST_F(CorvaneTest, RegistrationLetsTheDeviceActivateTheRuleClient) {
  auto registerServer =
      reinterpret_cast<DllRegisterServerFunction>(dlsym(library_, kDllRegisterServer));
  auto unregisterServer =
      reinterpret_cast<DllUnregisterServerFunction>(dlsym(library_, kDllUnregisterServer));
  ASSERT_TRUE(registerServer && unregisterServer);
  ASSERT_EQ(registerServer(), S_OK);
  Registry registry(temp_.device().RegistryFile());
  const std::u16string clsid = u"{20F58816-51E4-418D-92DD-8390021DCDCA}";
  EXPECT_EQ(registry.QueryString(RegRoot::ClassesRoot, u"CLSID\\" + clsid + u"\\InprocServer32", u""),
            u"corvane.dll");
  EXPECT_EQ(registry.QueryDword(RegRoot::LocalMachine, kSmsRulesKey, clsid), 1u);

  // Installed in the program folder, found by its bare name.
  auto folder = temp_.device().FsRoot() / "Program Files" / "Velmora";
  std::filesystem::create_directories(folder);
  std::filesystem::copy_file(CORVANE_LIBRARY, folder / "corvane.dll");
  {
    ComRuntime runtime(temp_.device(), registry, u"\\Program Files\\Velmora\\");
    void* object = nullptr;
    ASSERT_EQ(runtime.CoCreateInstance(kRuleClientClass, nullptr, CLSCTX_INPROC_SERVER,
                                       IID_IMailRuleClient, &object),
              S_OK)
        << runtime.LastError();
    static_cast<IMailRuleClient*>(object)->Release();
  }

  ASSERT_EQ(unregisterServer(), S_OK);
  EXPECT_FALSE(registry.KeyExists(RegRoot::ClassesRoot, u"CLSID\\" + clsid));
  EXPECT_FALSE(registry.QueryDword(RegRoot::LocalMachine, kSmsRulesKey, clsid).has_value());

  std::ofstream(temp_.device().RegistryFile()) << "damaged\n[HKEY_NOWHERE]\n";
  EXPECT_EQ(registerServer(), E_FAIL);
}

TEST_F(CorvaneTest, OnlyTheFourEntryPointsAreExported) {
  std::string command = std::string("nm -D --defined-only ") + CORVANE_LIBRARY;
  FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::vector<std::string> exported;
  std::array<char, 512> line;
  while (fgets(line.data(), line.size(), pipe) != nullptr) {
    std::string text(line.data());
    if (text.find(" T ") == std::string::npos) continue;
    exported.push_back(text.substr(text.find(" T ") + 3, text.find('\n') - text.find(" T ") - 3));
  }
  pclose(pipe);
  std::sort(exported.begin(), exported.end());
  EXPECT_EQ(exported, (std::vector<std::string>{"DllCanUnloadNow", "DllGetClassObject",
                                                "DllRegisterServer", "DllUnregisterServer"}));
}

}  // namespace
}  // namespace brevalo
