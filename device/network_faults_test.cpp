#include "device/network_faults.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>

#include "device/kernel_test_support.h"
#include "device/registry.h"

namespace brevalo {
namespace {

using ::testing::ElementsAre;

TEST(NetworkLists, EntriesAreTrimmedAndEmptyOnesDropped) {
  EXPECT_THAT(SplitNetworkList(u" +49 170;;555 ;\t12\t;"), ElementsAre(u"+49 170", u"555", u"12"));
  EXPECT_TRUE(SplitNetworkList(u"").empty());
  EXPECT_TRUE(SplitNetworkList(u" ; ;").empty());
}

TEST(NetworkLists, AddressTypesAreDecimalNumbersOnly) {
  EXPECT_THAT(ParseAddressTypeList(u"0; 2;x;-1;3a;4294967295;4294967296;99999999999"),
              ElementsAre(0u, 2u, 4294967295u));
}

TEST(NetworkFaultsRead, FromTheDeviceRegistry) {
  testing::TempDevice device;
  EXPECT_FALSE(NetworkFaults::Read(device.device()).failOpen) << "no registry, no faults";
  {
    Registry registry(device.device().RegistryFile());
    ASSERT_TRUE(registry.Load());
    ASSERT_TRUE(registry.SetDword(RegRoot::LocalMachine, kNetworkKey, u"FailOpen", 1));
    ASSERT_TRUE(registry.SetString(RegRoot::LocalMachine, kNetworkKey, u"RejectNumbers",
                                   u"111;222"));
    ASSERT_TRUE(registry.SetString(RegRoot::LocalMachine, kNetworkKey, u"RejectAddressTypes",
                                   u"0"));
  }
  NetworkFaults faults = NetworkFaults::Read(device.device());
  EXPECT_TRUE(faults.failOpen);
  EXPECT_TRUE(faults.RejectsNumber(u"222"));
  EXPECT_FALSE(faults.RejectsNumber(u"22"));
  EXPECT_TRUE(faults.RejectsAddressType(0));
  EXPECT_FALSE(faults.RejectsAddressType(2));

  // A damaged registry plays no faults rather than refusing everything.
  { std::ofstream(device.device().RegistryFile()) << "[HKEY_LOCAL_MACHINE\\Device\n\"broken"; }
  EXPECT_FALSE(NetworkFaults::Read(device.device()).failOpen);
}

}  // namespace
}  // namespace brevalo
