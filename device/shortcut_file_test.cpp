#include "device/shortcut_file.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "device/device_file_copy.h"
#include "device/device_program.h"
#include "device/kernel_test_support.h"

namespace brevalo {
namespace {
namespace fs = std::filesystem;

TEST(ShortcutFileTest, TheCountNamesHowMuchOfTheLineIsTheTarget) {
  const std::u16string target = u"\\storage\\loader.exe \"\\Program Files\\Velmora\\velmora.exe\"";
  EXPECT_EQ(FormatShortcut(target), u"56#" + target);
  EXPECT_EQ(ParseShortcut(FormatShortcut(target)), target);
  EXPECT_EQ(ParseShortcut(u"3#abc\r\nanything"), u"abc");
  EXPECT_EQ(ParseShortcut(u"3#abcdef"), u"abc") << "what follows the counted target is not run";
  // Torn or foreign files run nothing.
  EXPECT_EQ(ParseShortcut(u"9#abc"), std::nullopt);
  EXPECT_EQ(ParseShortcut(u"#abc"), std::nullopt);
  EXPECT_EQ(ParseShortcut(u"0#"), std::nullopt);
  EXPECT_EQ(ParseShortcut(u"abc"), std::nullopt);
  EXPECT_EQ(ParseShortcut(u""), std::nullopt);
  EXPECT_EQ(ParseShortcut(u"99999999999999999999#x"), std::nullopt);
}

TEST(ShortcutFileTest, ACommandLineSplitsIntoItsProgramAndTheRest) {
  CommandLine quoted = SplitCommandLine(u"  \"\\Program Files\\Velmora\\velmora.exe\"  -a b");
  EXPECT_EQ(quoted.program, u"\\Program Files\\Velmora\\velmora.exe");
  EXPECT_EQ(quoted.arguments, u"-a b");
  CommandLine plain = SplitCommandLine(u"\\storage\\loader.exe \"\\Program Files\\x.exe\"");
  EXPECT_EQ(plain.program, u"\\storage\\loader.exe");
  EXPECT_EQ(plain.arguments, u"\"\\Program Files\\x.exe\"");
  CommandLine unclosed = SplitCommandLine(u"\"\\a b");
  EXPECT_EQ(unclosed.program, u"\\a b");
  EXPECT_EQ(unclosed.arguments, u"");
  EXPECT_EQ(SplitCommandLine(u"").program, u"");
}

class DeviceFilesOnDeviceTest : public ::testing::Test {
 protected:
  void Write(const fs::path& relative, const std::string& text) {
    fs::create_directories((device().FsRoot() / relative).parent_path());
    std::ofstream(device().FsRoot() / relative) << text;
  }
  std::string Read(const fs::path& relative) {
    std::ifstream in(device().FsRoot() / relative);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  const Device& device() { return temp_.device(); }
  testing::TempDevice temp_;
};

TEST_F(DeviceFilesOnDeviceTest, AShortcutIsWrittenInTheCodePageAndReadBack) {
  fs::create_directories(device().FsRoot() / "Windows" / "StartUp");
  CodePage page;
  const std::u16string path = *SpecialFolderPath(CSIDL_STARTUP) + u"\\Velmora.lnk";
  ASSERT_TRUE(CreateShortcut(device(), page, path, u"\\storage\\loader.exe \"\\Dé\\v.exe\""));
  EXPECT_EQ(Read("Windows/StartUp/Velmora.lnk"), "31#\\storage\\loader.exe \"\\D\xc3\xa9\\v.exe\"");
  EXPECT_EQ(ReadShortcut(device(), page, u"\\windows\\startup\\velmora.lnk"),
            u"\\storage\\loader.exe \"\\Dé\\v.exe\"");
  EXPECT_EQ(ReadShortcut(device(), page, u"\\Windows\\StartUp\\missing.lnk"), std::nullopt);
  EXPECT_EQ(SpecialFolderPath(5), std::nullopt);
}

TEST_F(DeviceFilesOnDeviceTest, ACopyReplacesTheTargetOnlyWhenTheSourceAndTheFolderExist) {
  Write("Program Files/Velmora/corvane.dll", "new");
  Write("Storage/corvane.dll", "old");
  EXPECT_TRUE(CopyDeviceFile(device(), u"\\Program Files\\Velmora\\corvane.dll", u"\\Storage\\corvane.dll"));
  EXPECT_EQ(Read("Storage/corvane.dll"), "new");
  EXPECT_FALSE(CopyDeviceFile(device(), u"\\Program Files\\Velmora\\missing.dll", u"\\Storage\\corvane.dll"));
  EXPECT_EQ(Read("Storage/corvane.dll"), "new");
  EXPECT_FALSE(CopyDeviceFile(device(), u"\\Program Files\\Velmora\\corvane.dll", u"\\No Folder\\corvane.dll"));
  EXPECT_FALSE(CopyDeviceFile(device(), u"\\Program Files\\Velmora\\corvane.dll", u"\\..\\escape.dll"));
  EXPECT_FALSE(fs::exists(device().FsRoot() / "Storage" / "corvane.dll.partial"));
}

TEST_F(DeviceFilesOnDeviceTest, DeletingAMissingFileIsNoFailureButAFolderIsNeverDeleted) {
  Write("Storage/loader.exe", "x");
  EXPECT_TRUE(DeleteDeviceFile(device(), u"\\storage\\LOADER.EXE"));
  EXPECT_FALSE(fs::exists(device().FsRoot() / "Storage" / "loader.exe"));
  EXPECT_TRUE(DeleteDeviceFile(device(), u"\\storage\\loader.exe"));
  EXPECT_FALSE(DeleteDeviceFile(device(), u"\\Storage"));
  EXPECT_TRUE(fs::is_directory(device().FsRoot() / "Storage"));
  EXPECT_FALSE(DeleteDeviceFile(device(), u"relative.exe"));
}

TEST_F(DeviceFilesOnDeviceTest, AProgramFileNamesTheExecutableHostProgramThatPlaysIt) {
  Write("Program Files/Velmora/velmora.exe", ProgramFileText("velmora", "/bin/sh"));
  EXPECT_EQ(HostProgramOf(device(), u"\\Program Files\\Velmora\\velmora.exe"), fs::path("/bin/sh"));
  Write("Storage/loader.exe", "loader program file; the program runs as relative/loader\n");
  EXPECT_EQ(HostProgramOf(device(), u"\\Storage\\loader.exe"), std::nullopt);
  Write("Storage/text.exe", "just text\n");
  EXPECT_EQ(HostProgramOf(device(), u"\\Storage\\text.exe"), std::nullopt);
  Write("Storage/plain.exe", ProgramFileText("plain", device().FsRoot() / "Storage" / "text.exe"));
  EXPECT_EQ(HostProgramOf(device(), u"\\Storage\\plain.exe"), std::nullopt) << "not executable";
  std::string error;
  EXPECT_EQ(StartDeviceProgram(device(), u"\\Storage\\missing.exe", &error), std::nullopt);
  EXPECT_NE(error.find("missing.exe"), std::string::npos);
}

}  // namespace
}  // namespace brevalo
