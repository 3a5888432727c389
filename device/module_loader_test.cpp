#include "device/module_loader.h"

#include <gtest/gtest.h>

#include "device/code_page.h"
#include "device/com_test_server.h"
#include "device/com_test_support.h"
#include "device/kernel_test_support.h"
#include "device/registry.h"

namespace brevalo {
namespace {

namespace fs = std::filesystem;
using testing::InstallFile;
using testing::IsMapped;
using testing::TestModuleFileFunction;

constexpr std::u16string_view kProgramFolder = u"\\Program Files\\Velmora\\";

class ModuleLoaderTest : public ::testing::Test {
 protected:
  fs::path Install(const fs::path& relative) {
    fs::path host = InstallFile(device(), BREVALO_COM_TEST_MODULE, relative);
    EXPECT_FALSE(host.empty()) << relative;
    return host;
  }
  const Device& device() const { return temp_.device(); }

  // The host file the loaded library says it was mapped from.
  fs::path MappedFile(ModuleLoader& loader, ModuleHandle module) {
    auto file = loader.SymbolAs<TestModuleFileFunction>(module, testing::kTestModuleFile);
    return file == nullptr ? fs::path() : fs::canonical(file());
  }

  testing::TempDevice temp_;
};

TEST_F(ModuleLoaderTest, FindsABareNameInWindowsIgnoringCase) {
  fs::path host = Install("Windows/SMS.DLL");
  ModuleLoader loader(device(), kProgramFolder);
  ModuleHandle module = loader.Load(u"sms.dll");
  ASSERT_TRUE(module) << loader.LastError();
  EXPECT_EQ(MappedFile(loader, module), fs::canonical(host));
  EXPECT_EQ(loader.DevicePathOf(module), u"\\Windows\\sms.dll");
}

TEST_F(ModuleLoaderTest, ProgramFolderWinsOverWindows) {
  Install("Windows/phone.dll");
  fs::path ours = Install("Program Files/Velmora/phone.dll");
  ModuleLoader loader(device(), u"\\program files\\velmora");  // no trailing backslash
  EXPECT_EQ(loader.Locate(u"PHONE.dll"), u"\\program files\\velmora\\PHONE.dll");
  ModuleHandle module = loader.Load(u"phone.dll");
  ASSERT_TRUE(module) << loader.LastError();
  EXPECT_EQ(MappedFile(loader, module), fs::canonical(ours));
}

TEST_F(ModuleLoaderTest, WithoutAProgramFolderOnlyWindowsIsSearched) {
  Install("Program Files/Velmora/cellcore.dll");
  ModuleLoader loader(device(), u"");
  EXPECT_FALSE(loader.Load(u"cellcore.dll"));
  fs::path system = Install("Windows/cellcore.dll");
  ModuleHandle module = loader.Load(u"cellcore.dll");
  ASSERT_TRUE(module) << loader.LastError();
  EXPECT_EQ(MappedFile(loader, module), fs::canonical(system));
}

TEST_F(ModuleLoaderTest, TheSystemPathIsSearchedAfterWindowsInItsOrder) {
  Registry registry(device().RegistryFile());
  ASSERT_TRUE(registry.SetString(RegRoot::LocalMachine, kLoaderKey, kSystemPathValue,
                                 u" \\Storage\\Lib ;relative;;\\Program Files\\Velmora"));
  EXPECT_EQ(ReadSystemPath(registry), (std::vector<std::u16string>{
                                          u"\\Storage\\Lib\\", u"\\Program Files\\Velmora\\"}));
  ASSERT_TRUE(AddToSystemPath(registry, u"\\program files\\velmora\\"));  // there already
  ASSERT_TRUE(AddToSystemPath(registry, u"\\Extra"));
  EXPECT_EQ(ReadSystemPath(registry).size(), 3u);

  fs::path late = Install("Program Files/Velmora/corvane.dll");
  ModuleLoader loader(device(), u"");
  EXPECT_FALSE(loader.Load(u"corvane.dll"));
  loader.SetSystemPath(ReadSystemPath(registry));
  ModuleHandle module = loader.Load(u"corvane.dll");
  ASSERT_TRUE(module) << loader.LastError();
  EXPECT_EQ(MappedFile(loader, module), fs::canonical(late));
  Install("Storage/Lib/corvane2.dll");
  Install("Program Files/Velmora/corvane2.dll");
  EXPECT_EQ(loader.Locate(u"corvane2.dll"), u"\\Storage\\Lib\\corvane2.dll");
  Install("Windows/corvane2.dll");
  EXPECT_EQ(loader.Locate(u"corvane2.dll"), u"\\Windows\\corvane2.dll");
}

TEST_F(ModuleLoaderTest, ANameWithAPathIsTakenAsGiven) {
  fs::path system = Install("Windows/sms.dll");
  Install("Program Files/Velmora/sms.dll");
  ModuleLoader loader(device(), kProgramFolder);
  ModuleHandle module = loader.Load(u"\\WINDOWS\\sms.dll");
  ASSERT_TRUE(module) << loader.LastError();
  EXPECT_EQ(MappedFile(loader, module), fs::canonical(system));
  // Not looked for anywhere else when the path names nothing.
  EXPECT_FALSE(loader.Load(u"\\Storage\\sms.dll"));
  EXPECT_NE(loader.LastError().find("\\Storage\\sms.dll"), std::string::npos);
}

TEST_F(ModuleLoaderTest, MissingOrUnsafeNamesAreReportedNotLoaded) {
  Install("Windows/sms.dll");
  ModuleLoader loader(device(), kProgramFolder);
  EXPECT_FALSE(loader.Load(u"tapi.dll"));
  EXPECT_NE(loader.LastError().find("tapi.dll"), std::string::npos);
  EXPECT_NE(loader.LastError().find("\\Program Files\\Velmora\\"), std::string::npos);
  EXPECT_NE(loader.LastError().find("\\Windows\\"), std::string::npos);
  for (std::u16string_view name : {u"", u"..", u"../Windows/sms.dll", u"Windows/sms.dll",
                                   u"\\Windows\\..\\Windows\\sms.dll", u"C:\\Windows\\sms.dll",
                                   u"\\Windows", u"/usr/lib/libc.so.6"}) {
    EXPECT_FALSE(loader.Load(name)) << ToUtf8(name);
  }
}

TEST_F(ModuleLoaderTest, AFileThatIsNoLibraryIsReportedWithTheReason) {
  testing::WriteFile(device(), "Windows/sms.dll", "MZ not an ELF object");
  ModuleLoader loader(device(), kProgramFolder);
  EXPECT_FALSE(loader.Load(u"sms.dll"));
  EXPECT_NE(loader.LastError().find("cannot be loaded"), std::string::npos);
}

TEST_F(ModuleLoaderTest, MissingEntryPointsAreReportedAsNull) {
  Install("Windows/sms.dll");
  ModuleLoader loader(device(), kProgramFolder);
  ModuleHandle module = loader.Load(u"sms.dll");
  ASSERT_TRUE(module);
  EXPECT_EQ(loader.Symbol(module, "SmsOpen"), nullptr);
  EXPECT_NE(loader.LastError().find("SmsOpen"), std::string::npos);
  EXPECT_NE(loader.LastError().find("\\Windows\\sms.dll"), std::string::npos);
  EXPECT_EQ(loader.Symbol(module, ""), nullptr);
  EXPECT_EQ(loader.Symbol(module, nullptr), nullptr);
  EXPECT_EQ(loader.Symbol(ModuleHandle{}, testing::kTestModuleFile), nullptr);
  EXPECT_NE(loader.Symbol(module, testing::kTestModuleFile), nullptr);
}

TEST_F(ModuleLoaderTest, EachLibraryIsMappedOnceAndCounted) {
  fs::path host = Install("Windows/sms.dll");
  ModuleLoader loader(device(), kProgramFolder);
  ModuleHandle first = loader.Load(u"sms.dll");
  ModuleHandle second = loader.Load(u"\\windows\\SMS.DLL");
  ASSERT_TRUE(first);
  EXPECT_EQ(first, second);
  EXPECT_TRUE(loader.Unload(first));
  EXPECT_TRUE(loader.IsLoaded(first));
  EXPECT_TRUE(IsMapped(host));
  EXPECT_TRUE(loader.Unload(first));
  EXPECT_FALSE(loader.IsLoaded(first));
  EXPECT_FALSE(IsMapped(host));
  // A stale handle is refused, and never names a library loaded later.
  EXPECT_FALSE(loader.Unload(first));
  EXPECT_EQ(loader.Symbol(first, testing::kTestModuleFile), nullptr);
  ModuleHandle again = loader.Load(u"sms.dll");
  EXPECT_TRUE(again);
  EXPECT_NE(again, first);
}

TEST_F(ModuleLoaderTest, TheLoaderUnmapsWhatIsLeftUnlessPinned) {
  fs::path plain = Install("Windows/sms.dll");
  fs::path pinned = Install("Windows/phone.dll");
  {
    ModuleLoader loader(device(), kProgramFolder);
    ASSERT_TRUE(loader.Load(u"sms.dll"));
    ModuleHandle kept = loader.Load(u"phone.dll");
    ASSERT_TRUE(kept);
    EXPECT_TRUE(loader.Pin(kept));
    EXPECT_TRUE(loader.Unload(kept));
    EXPECT_TRUE(IsMapped(pinned));
  }
  EXPECT_FALSE(IsMapped(plain));
  EXPECT_TRUE(IsMapped(pinned));
}

}  // namespace
}  // namespace brevalo
