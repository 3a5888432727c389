// phonesim's device commands from the shell: a new device, its store, outbox, contacts, profile,
// network faults and status, with the JSON shapes scripts rely on.
#include "channel/unread_counter.h"
#include "device/device_properties.h"
#include "device/network_faults.h"
#include "device/phone_database.h"
#include "device/registry.h"
#include "tools/phonesim/phonesim_test_device.h"

namespace brevalo {
namespace {

using testing::PhonesimDevice;
namespace fs = std::filesystem;

class PhonesimDeviceTest : public PhonesimDevice {};

TEST_F(PhonesimDeviceTest, InitMakesACompleteDeviceAndRefusesToOverwriteIt) {
  ASSERT_EQ(Phonesim("init --codepage 936 --own-number 13800000000 --screen 176x220").code, 0)
      << lastError_;
  for (const char* folder : {"Windows", "Storage", "My Documents", "Program Files/Velmora"}) {
    EXPECT_TRUE(fs::is_directory(dir_ / "fs" / folder)) << folder;
  }
  for (const char* library : {"sms.dll", "phone.dll", "cellcore.dll"}) {
    EXPECT_TRUE(fs::is_regular_file(dir_ / "fs" / "Windows" / library)) << library;
  }
  Registry registry(device().RegistryFile());
  EXPECT_EQ(DeviceCodePage(registry).Number(), 936u);
  EXPECT_EQ(DeviceScreenSize(registry).width, 176u);
  EXPECT_EQ(DeviceOwnNumber(registry), u"13800000000");
  EXPECT_EQ(Phonesim("--json profile").Json()["profile"], "Normal");
  std::vector<PhoneStore> stores;
  ASSERT_TRUE(PhoneDatabase::OpenDevice(device())->ListStores(&stores));
  ASSERT_EQ(stores.size(), 1u);
  EXPECT_EQ(stores[0].name, u"SMS");
  EXPECT_EQ(Phonesim("--json contacts list").Json()["contacts"].size(), 5u);

  EXPECT_EQ(Phonesim("init").code, 1);
  EXPECT_NE(lastError_.find("--force"), std::string::npos);
  ASSERT_EQ(Phonesim("contacts add --name Extra --mobile 1").code, 0);
  ASSERT_EQ(Phonesim("init --force").code, 0);
  EXPECT_EQ(Phonesim("--json contacts list").Json()["contacts"].size(), 5u);
  EXPECT_EQ(DeviceCodePage(registry).Number(), 65001u);

  EXPECT_EQ(Phonesim("init --force --screen 10x10").code, 2);
  EXPECT_EQ(Phonesim("init --force --codepage 4242").code, 2);
}

TEST_F(PhonesimDeviceTest, InstallPutsCorvaneInTheProgramFolderOnTheLoaderPath) {
  EXPECT_EQ(Phonesim("install").code, 1);  // no device yet
  ASSERT_EQ(Phonesim("init").code, 0);
  EXPECT_EQ(Phonesim("register-corvane").code, 1);  // not installed yet
  ASSERT_EQ(Phonesim("install").code, 0);
  ASSERT_EQ(Phonesim("install").code, 0);  // again: the path keeps one entry
  EXPECT_TRUE(fs::is_regular_file(dir_ / "fs" / "Program Files" / "Velmora" / "corvane.dll"));
  // The program file comes along whenever the window program was built.
  EXPECT_EQ(fs::is_regular_file(dir_ / "fs" / "Program Files" / "Velmora" / "velmora.exe"),
            fs::is_regular_file(fs::path(BREVALO_LIB_DIR) / "velmora.exe"));
  Registry registry(device().RegistryFile());
  EXPECT_EQ(registry.QueryString(RegRoot::LocalMachine, u"Loader", u"SystemPath"),
            u"\\Program Files\\Velmora\\");
  ASSERT_EQ(Phonesim("register-corvane").code, 0);
  EXPECT_EQ(registry.QueryString(RegRoot::ClassesRoot,
                                 u"CLSID\\{20F58816-51E4-418D-92DD-8390021DCDCA}\\InprocServer32",
                                 u""),
            u"corvane.dll");
  // The phone's own contacts class comes with every device.
  EXPECT_TRUE(fs::is_regular_file(dir_ / "fs" / "Windows" / "contacts.dll"));
  EXPECT_EQ(registry.QueryString(RegRoot::ClassesRoot,
                                 u"CLSID\\{05058F23-20BE-11D2-8F18-0000F87A4335}\\InprocServer32",
                                 u""),
            u"\\Windows\\contacts.dll");
}

TEST_F(PhonesimDeviceTest, StoreMessagesAreAddedListedByFolderAndDeleted) {
  EXPECT_EQ(Phonesim("store list").code, 1);
  EXPECT_NE(lastError_.find("holds no device"), std::string::npos);
  ASSERT_EQ(Phonesim("init").code, 0);
  ASSERT_EQ(Phonesim("store add --folder inbox --from 10086 --text 'Balance 5' "
                     "--time 2026-12-01T08:30:00Z").code, 0);
  ASSERT_EQ(Phonesim("store add --folder sent --from 13800138000 --text 'On my way'").code, 0);
  EXPECT_EQ(Phonesim("store add --folder drafts --from 1 --text x").code, 2);
  EXPECT_EQ(Phonesim("store add --folder inbox --from 1 --text x --time 2026-13-01").code, 2);

  nlohmann::json inbox = Phonesim("--json store list --folder inbox").Json();
  ASSERT_EQ(inbox["messages"].size(), 1u);
  EXPECT_EQ(inbox["messages"][0]["from"], "10086");
  EXPECT_EQ(inbox["messages"][0]["text"], "Balance 5");
  EXPECT_EQ(inbox["messages"][0]["folder"], "inbox");
  EXPECT_EQ(inbox["messages"][0]["time"], "2026-12-01T08:30:00Z");
  nlohmann::json all = Phonesim("--json store list").Json();
  ASSERT_EQ(all["messages"].size(), 2u);
  int sentId = all["messages"][1]["id"];
  ASSERT_EQ(Phonesim("store delete " + std::to_string(sentId)).code, 0);
  EXPECT_EQ(Phonesim("store delete " + std::to_string(sentId)).code, 1);
  EXPECT_EQ(Phonesim("--json store list --folder sent").Json()["messages"].size(), 0u);
}

TEST_F(PhonesimDeviceTest, OutboxCallsProfileNetworkAndStatus) {
  ASSERT_EQ(Phonesim("init").code, 0);
  {
    std::unique_ptr<PhoneDatabase> database = PhoneDatabase::OpenDevice(device());
    OutboxEntry entry;
    entry.recipient = u"+8613800138000";
    entry.addressType = 1;
    entry.text = u"\u4f60\u597d";
    entry.messageClass = 0;
    entry.statusReport = true;
    entry.time = 134'000'000'000'000'000ull;
    ASSERT_TRUE(database->AppendOutbox(entry));
    ASSERT_TRUE(database->AppendCall({0, u"10086", entry.time}));
  }
  nlohmann::json outbox = Phonesim("--json outbox --clear").Json();
  ASSERT_EQ(outbox["messages"].size(), 1u);
  EXPECT_EQ(outbox["messages"][0], (nlohmann::json{{"to", "+8613800138000"},
                                                   {"addressType", 1},
                                                   {"text", "\u4f60\u597d"},
                                                   {"flash", true},
                                                   {"statusReport", true},
                                                   {"time", "2025-08-18T14:13:20Z"}}));
  EXPECT_EQ(Phonesim("--json outbox").Json()["messages"].size(), 0u);
  EXPECT_EQ(Phonesim("--json calls").Json()["calls"][0]["number"], "10086");

  ASSERT_EQ(Phonesim("profile Silent").code, 0);
  Registry registry(device().RegistryFile());
  EXPECT_EQ(registry.QueryString(RegRoot::CurrentUser, u"ControlPanel\\Profiles", u"ActiveProfile"),
            u"Silent");

  ASSERT_EQ(Phonesim("network fail-open on").code, 0);
  ASSERT_EQ(Phonesim("network reject 10086").code, 0);
  ASSERT_EQ(Phonesim("network reject 10010").code, 0);
  ASSERT_EQ(Phonesim("network reject 10086").code, 0);  // once only
  NetworkFaults faults = NetworkFaults::Read(device());
  EXPECT_TRUE(faults.failOpen);
  EXPECT_EQ(faults.rejectedNumbers, (std::vector<std::u16string>{u"10010", u"10086"}));
  ASSERT_EQ(Phonesim("network reject --clear 10010").code, 0);
  EXPECT_EQ(NetworkFaults::Read(device()).rejectedNumbers, (std::vector<std::u16string>{u"10086"}));
  ASSERT_EQ(Phonesim("network reject --clear").code, 0);
  ASSERT_EQ(Phonesim("network fail-open off").code, 0);
  EXPECT_FALSE(NetworkFaults::Read(device()).failOpen);
  EXPECT_TRUE(NetworkFaults::Read(device()).rejectedNumbers.empty());
  EXPECT_EQ(Phonesim("network fail-open maybe").code, 2);
  EXPECT_EQ(Phonesim("network reject").code, 2);

  EXPECT_TRUE(Phonesim("--json status").Json()["unread"].is_null());
  auto counter = UnreadCounter::Create(device());
  ASSERT_TRUE(counter);
  counter->Set(3);
  nlohmann::json status = Phonesim("--json status").Json();
  EXPECT_EQ(status["unread"], 3);
  EXPECT_EQ(status["service"], false);
}

TEST_F(PhonesimDeviceTest, ContactsAreAddedWithTheirNumbersAndCategories) {
  ASSERT_EQ(Phonesim("init").code, 0);
  ASSERT_EQ(Phonesim("contacts add --name 'Eve Stone' --home 0105550123 --work 42 "
                     "--categories 'Work, VIP'").code, 0);
  EXPECT_EQ(Phonesim("contacts add --name ''").code, 2);
  nlohmann::json contacts = Phonesim("--json contacts list").Json()["contacts"];
  ASSERT_EQ(contacts.size(), 6u);
  EXPECT_EQ(contacts[5], (nlohmann::json{{"name", "Eve Stone"},
                                         {"mobile", nullptr},
                                         {"home", "0105550123"},
                                         {"work", "42"},
                                         {"categories", {"Work", "VIP"}}}));
  std::string text = Phonesim("contacts list").out;
  EXPECT_NE(text.find("Eve Stone  H 0105550123  W 42  [Work, VIP]"), std::string::npos) << text;
}

}  // namespace
}  // namespace brevalo
