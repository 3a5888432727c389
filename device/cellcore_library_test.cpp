// cellcore.so loaded from the build tree: dialling writes the call log and the event log.
#include "device/cellcore_library.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "device/event_log.h"
#include "device/phone_database.h"
#include "device/phone_library_test_support.h"

namespace brevalo {
namespace {

using testing::LoadedLibrary;
using testing::TempDevice;

class CellcoreLibraryTest : public ::testing::Test {
 protected:
  CellcoreLibraryTest()
      : library_("cellcore", device_),
        dial_(library_.Bind<TapiRequestMakeCallFunction>(kTapiRequestMakeCall)) {}

  std::vector<CallEntry> Calls() {
    std::vector<CallEntry> calls;
    auto db = PhoneDatabase::OpenDevice(device_.device());
    EXPECT_TRUE(db != nullptr && db->ListCalls(&calls));
    return calls;
  }

  std::vector<nlohmann::json> CallEvents() {
    std::vector<nlohmann::json> calls;
    for (auto& event : EventLog(device_.device()).Read()) {
      if (event["kind"] == "call") calls.push_back(event);
    }
    return calls;
  }

  TempDevice device_;
  LoadedLibrary library_;
  TapiRequestMakeCallFunction dial_;
};

TEST_F(CellcoreLibraryTest, ADialledNumberIsLoggedTwice) {
  ASSERT_NE(dial_, nullptr);
  EXPECT_EQ(dial_(u"+4930123", nullptr, nullptr, nullptr), TAPIERR_CONNECTED);
  EXPECT_EQ(dial_(u"112", u"app", u"Emergency ü", u"comment"), TAPIERR_CONNECTED);

  auto calls = Calls();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].number, u"+4930123");
  EXPECT_EQ(calls[1].number, u"112");
  EXPECT_LE(calls[0].time, calls[1].time);

  auto events = CallEvents();
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0]["number"], "+4930123");
  EXPECT_FALSE(events[0].contains("calledParty"));
  EXPECT_EQ(events[1]["calledParty"], "Emergency ü");
}

TEST_F(CellcoreLibraryTest, NumbersThatCannotBeDialledLeaveNoTrace) {
  ASSERT_NE(dial_, nullptr);
  EXPECT_EQ(dial_(nullptr, nullptr, nullptr, nullptr), TAPIERR_INVALDESTADDRESS);
  EXPECT_EQ(dial_(u"", nullptr, nullptr, nullptr), TAPIERR_INVALDESTADDRESS);
  std::u16string longest(kTapiMaxDestAddressSize, u'1');
  std::u16string tooLong(kTapiMaxDestAddressSize + 1, u'1');
  EXPECT_EQ(dial_(tooLong.c_str(), nullptr, nullptr, nullptr), TAPIERR_INVALDESTADDRESS);
  EXPECT_TRUE(Calls().empty());
  EXPECT_TRUE(CallEvents().empty());
  EXPECT_EQ(dial_(longest.c_str(), nullptr, nullptr, nullptr), TAPIERR_CONNECTED);
  EXPECT_EQ(Calls().size(), 1u);
}

TEST_F(CellcoreLibraryTest, AnUnwritableDeviceIsReportedNotIgnored) {
  ASSERT_NE(dial_, nullptr);
  std::filesystem::create_directories(device_.device().PhoneDir() / "messages.db");
  EXPECT_EQ(dial_(u"123", nullptr, nullptr, nullptr), TAPIERR_NOREQUESTRECIPIENT);
  EXPECT_TRUE(CallEvents().empty());
}

TEST_F(CellcoreLibraryTest, WithoutASetupCallTheDeviceComesFromTheEnvironment) {
  ASSERT_NE(dial_, nullptr);
  auto setup = library_.Bind<SetDeviceFolderFunction>(kSetDeviceFolder);
  ASSERT_NE(setup, nullptr);
  TempDevice other;
  setup(nullptr);
  ASSERT_EQ(setenv("VELMORA_DEVICE", other.dir().c_str(), 1), 0);
  EXPECT_EQ(dial_(u"777", nullptr, nullptr, nullptr), TAPIERR_CONNECTED);
  unsetenv("VELMORA_DEVICE");
  setup(device_.dir().c_str());

  EXPECT_TRUE(Calls().empty());
  std::vector<CallEntry> calls;
  auto db = PhoneDatabase::OpenDevice(other.device());
  ASSERT_TRUE(db != nullptr && db->ListCalls(&calls));
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].number, u"777");
}

}  // namespace
}  // namespace brevalo
