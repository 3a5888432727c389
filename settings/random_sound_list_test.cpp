#include "settings/random_sound_list.h"

#include <dirent.h>
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "device/code_page.h"
#include "device/device_paths.h"
#include "settings/host_device_files.h"
#include "settings/settings.h"
#include "settings/settings_test_support.h"

namespace brevalo {
namespace {
namespace fs = std::filesystem;

TEST(RandomSoundListTest, KeepsTheFileSystemsOrderOfWaveFilesOnly) {
  FakeDeviceFiles files;
  files.folders[u"\\Rings\\"] = {{u"zebra.wav", true},   {u"notes.txt", true}, {u"Alpha.WAV", true},
                                 {u"folder.wav", false}, {u"wav", true},       {u"x.wav.bak", true},
                                 {u".wav", true},        {u"mid.Wav", true}};
  RandomSoundList list = RandomSoundList::Build(files, u"\\Rings\\");
  EXPECT_EQ(list.Names(),
            (std::vector<std::u16string>{u"zebra.wav", u"Alpha.WAV", u".wav", u"mid.Wav"}));
  EXPECT_EQ(list.PathAt(1), u"\\Rings\\Alpha.WAV");
}

TEST(RandomSoundListTest, FolderWithoutBackslashStillNamesFilesInsideIt) {
  FakeDeviceFiles files;
  files.folders[u"\\Rings\\"] = {{u"one.wav", true}};
  RandomSoundList list = RandomSoundList::Build(files, u"\\Rings");
  EXPECT_EQ(files.listed, (std::vector<std::u16string>{u"\\Rings\\"}));
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list.PathAt(0), u"\\Rings\\one.wav");
}

TEST(RandomSoundListTest, UnreadableOrEmptyFolderGivesNothingToPlay) {
  FakeDeviceFiles files;
  EXPECT_TRUE(RandomSoundList::Build(files, u"\\Missing\\").empty());
  EXPECT_TRUE(RandomSoundList::Build(files, u"").empty());
  EXPECT_EQ(files.listed.size(), 1u) << "an empty folder setting is not listed at all";
}

class HostDeviceFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/settings-device-XXXXXX";
    dir_ = mkdtemp(pattern);
    fs::create_directories(dir_ / "fs");
  }
  void TearDown() override { fs::remove_all(dir_); }
  void Touch(const fs::path& file) {
    fs::create_directories(file.parent_path());
    std::ofstream(file) << "x";
  }
  // The directory's order as the host's own directory reading gives it.
  static std::vector<std::u16string> ReaddirOrder(const fs::path& folder) {
    std::vector<std::u16string> names;
    DIR* dir = opendir(folder.c_str());
    while (dirent* entry = readdir(dir)) {
      const std::string name = entry->d_name;
      if (name != "." && name != "..") names.push_back(FromUtf8(name));
    }
    closedir(dir);
    return names;
  }
  fs::path dir_;
};

TEST_F(HostDeviceFilesTest, ListsADeviceFolderInDirectoryOrderSkippingFolders) {
  const fs::path rings = dir_ / "fs" / "Storage" / "Rings";
  std::vector<std::u16string> expected;
  for (int i = 0; i < 24; ++i) Touch(rings / ("ring" + std::to_string(i) + ".wav"));
  Touch(rings / "read me.txt");
  fs::create_directories(rings / "more.wav");
  Touch(rings / "more.wav" / "inner.wav");
  for (const std::u16string& name : ReaddirOrder(rings)) {
    if (IsWaveFileName(name) && name != u"more.wav") expected.push_back(name);
  }
  ASSERT_EQ(expected.size(), 24u);

  Device device(dir_);
  HostDeviceFiles files(device);
  RandomSoundList list = RandomSoundList::Build(files, u"\\STORAGE\\rings");
  EXPECT_EQ(list.Names(), expected);
  EXPECT_EQ(list.Folder(), u"\\STORAGE\\rings\\");
  EXPECT_FALSE(files.List(u"\\Storage\\Nothing\\"));
  EXPECT_FALSE(files.List(u"\\..\\..\\"));
}

TEST_F(HostDeviceFilesTest, PhoneLibraryProbeLooksInTheWindowsFolder) {
  Device device(dir_);
  HostDeviceFiles files(device);
  { Settings settings(files); }
  EXPECT_FALSE(PhoneLibraryPresent());

  fs::create_directories(dir_ / "fs" / "Windows" / "phone.dll");  // a folder is no library
  { Settings settings(files); }
  EXPECT_FALSE(PhoneLibraryPresent());

  fs::remove_all(dir_ / "fs" / "Windows");
  Touch(dir_ / "fs" / "WINDOWS" / "Phone.DLL");
  { Settings settings(files); }
  EXPECT_TRUE(PhoneLibraryPresent());

  Touch(dir_ / "fs" / "Program Files" / "Velmora" / "phone.dll");
  fs::remove_all(dir_ / "fs" / "WINDOWS");
  { Settings settings(files); }
  EXPECT_FALSE(PhoneLibraryPresent()) << "only the device's own library counts";
}

}  // namespace
}  // namespace brevalo
