#include "device/device_paths.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>

namespace brevalo {
namespace {
namespace fs = std::filesystem;

class DevicePathsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/device-paths-XXXXXX";
    dir_ = mkdtemp(pattern);
    fs::create_directories(dir_ / "fs/My Documents/Work");
    std::ofstream(dir_ / "fs/My Documents/sms.kvt") << "x";
  }
  void TearDown() override { fs::remove_all(dir_); }
  fs::path dir_;
};

TEST_F(DevicePathsTest, FolderComesFromFlagThenEnvironmentThenHome) {
  setenv("VELMORA_DEVICE", "/from/env", 1);
  EXPECT_EQ(Device::ResolveDir("/from/flag"), fs::path("/from/flag"));
  EXPECT_EQ(Device::ResolveDir(""), fs::path("/from/env"));
  unsetenv("VELMORA_DEVICE");
  setenv("HOME", "/home/someone", 1);
  EXPECT_EQ(Device::ResolveDir(""), fs::path("/home/someone/.local/share/velmora/device"));
}

TEST_F(DevicePathsTest, ExistingComponentsMatchWhateverTheirCase) {
  Device device(dir_);
  EXPECT_EQ(device.HostPath(u"\\MY DOCUMENTS\\SMS.KVT"), dir_ / "fs/My Documents/sms.kvt");
  EXPECT_EQ(device.HostPath(u"\\my documents\\work\\New.kvt"),
            dir_ / "fs/My Documents/Work/New.kvt");
  EXPECT_EQ(device.HostPath(u"\\Storage\\Card\\a.kvt"), dir_ / "fs/Storage/Card/a.kvt");
  EXPECT_EQ(device.HostPath(u"\\"), dir_ / "fs");
  EXPECT_EQ(device.HostPath(u"\\My Documents\\\\sms.kvt"), dir_ / "fs/My Documents/sms.kvt");
}

TEST_F(DevicePathsTest, PathsThatWouldLeaveTheFileSystemAreRefused) {
  Device device(dir_);
  const std::u16string refused[] = {
      u"", u"My Documents\\sms.kvt", u"\\..\\registry.reg", u"\\My Documents\\..\\..\\x",
      u"\\My Documents/../../x", u"C:\\x", u"\\C:x", u"\\a\\.\\b",
      std::u16string(u"\\a") + u'\0' + u"b", u"/etc/passwd",
  };
  for (const std::u16string& path : refused) {
    EXPECT_FALSE(device.HostPath(path).has_value()) << path.size();
  }
}

TEST_F(DevicePathsTest, HostPathsMapBackToDevicePaths) {
  Device device(dir_);
  EXPECT_EQ(device.DevicePath(dir_ / "fs/My Documents/sms.kvt"), u"\\My Documents\\sms.kvt");
  EXPECT_EQ(device.DevicePath(dir_ / "fs"), u"\\");
  EXPECT_FALSE(device.DevicePath(dir_ / "registry.reg").has_value());
  EXPECT_FALSE(device.DevicePath(dir_ / "fs/../registry.reg").has_value());
}

}  // namespace
}  // namespace brevalo
