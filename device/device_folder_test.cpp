#include "device/device_folder.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <fstream>

namespace brevalo {
namespace {
namespace fs = std::filesystem;

class DeviceFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/device-folder-XXXXXX";
    dir_ = mkdtemp(pattern);
    fs::create_directories(dir_ / "fs/My Documents/Work");
    std::ofstream(dir_ / "fs/My Documents/sms.kvt") << std::string(1500, 'x');
    std::ofstream(dir_ / "fs/My Documents/empty.txt");
    fs::create_directories(dir_ / "outside");
    std::ofstream(dir_ / "outside/secret.kvt") << "secret";
  }
  void TearDown() override { fs::remove_all(dir_); }

  static std::vector<std::u16string> Names(const std::vector<DeviceFolderEntry>& entries) {
    std::vector<std::u16string> names;
    for (const auto& entry : entries) names.push_back(entry.name);
    std::sort(names.begin(), names.end());
    return names;
  }
  static const DeviceFolderEntry* Find(const std::vector<DeviceFolderEntry>& entries,
                                       std::u16string_view name) {
    for (const auto& entry : entries) {
      if (entry.name == name) return &entry;
    }
    return nullptr;
  }
  fs::path dir_;
};

TEST_F(DeviceFolderTest, ListsFoldersAndFilesWithTheirSizesWhateverTheCaseOfThePath) {
  Device device(dir_);
  auto entries = ListDeviceFolder(device, u"\\MY DOCUMENTS\\");
  ASSERT_TRUE(entries);
  EXPECT_EQ(Names(*entries), (std::vector<std::u16string>{u"Work", u"empty.txt", u"sms.kvt"}));
  EXPECT_TRUE(Find(*entries, u"Work")->isFolder);
  EXPECT_FALSE(Find(*entries, u"sms.kvt")->isFolder);
  EXPECT_EQ(Find(*entries, u"sms.kvt")->size, 1500u);
  EXPECT_EQ(Find(*entries, u"empty.txt")->size, 0u);

  auto root = ListDeviceFolder(device, u"\\");
  ASSERT_TRUE(root);
  EXPECT_EQ(Names(*root), std::vector<std::u16string>{u"My Documents"});
}

TEST_F(DeviceFolderTest, NothingOutsideTheDeviceIsListedOrFound) {
  Device device(dir_);
  EXPECT_FALSE(ListDeviceFolder(device, u"\\..\\outside"));
  EXPECT_FALSE(ListDeviceFolder(device, u"relative"));
  EXPECT_FALSE(ListDeviceFolder(device, u"\\Missing"));
  EXPECT_FALSE(ListDeviceFolder(device, u"\\My Documents\\sms.kvt"));  // a file, not a folder

  // Links that lead out of fs/ are neither shown nor entered.
  fs::create_directory_symlink(dir_ / "outside", dir_ / "fs/My Documents/Escape");
  fs::create_symlink(dir_ / "outside/secret.kvt", dir_ / "fs/My Documents/link.kvt");
  auto entries = ListDeviceFolder(device, u"\\My Documents");
  ASSERT_TRUE(entries);
  EXPECT_EQ(Find(*entries, u"Escape"), nullptr);
  EXPECT_EQ(Find(*entries, u"link.kvt"), nullptr);
  EXPECT_FALSE(ListDeviceFolder(device, u"\\My Documents\\Escape"));
  EXPECT_FALSE(DeviceFolderExists(device, u"\\My Documents\\Escape"));
  EXPECT_FALSE(DeviceFileExists(device, u"\\My Documents\\link.kvt"));
}

TEST_F(DeviceFolderTest, TellsFoldersFromFiles) {
  Device device(dir_);
  EXPECT_TRUE(DeviceFolderExists(device, u"\\"));
  EXPECT_TRUE(DeviceFolderExists(device, u"\\my documents\\work"));
  EXPECT_FALSE(DeviceFolderExists(device, u"\\My Documents\\sms.kvt"));
  EXPECT_TRUE(DeviceFileExists(device, u"\\My Documents\\SMS.KVT"));
  EXPECT_FALSE(DeviceFileExists(device, u"\\My Documents\\Work"));
  EXPECT_FALSE(DeviceFileExists(device, u"\\My Documents\\none.kvt"));

  EXPECT_EQ(ExistingFolderPath(device, u"\\my documents\\WORK\\"), u"\\My Documents\\Work");
  EXPECT_EQ(ExistingFolderPath(device, u"\\"), u"\\");
  EXPECT_EQ(ExistingFolderPath(device, u"\\My Documents\\sms.kvt"), std::nullopt);
  EXPECT_EQ(ExistingFolderPath(device, u"\\Missing"), std::nullopt);
}

}  // namespace
}  // namespace brevalo
