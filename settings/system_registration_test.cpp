#include "settings/system_registration.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "device/kernel_test_support.h"
#include "device/mail_rule_client.h"
#include "device/shortcut_file.h"
#include "settings/settings.h"

namespace brevalo {
namespace {
namespace fs = std::filesystem;

constexpr RegRoot HKCR = RegRoot::ClassesRoot;
constexpr std::u16string_view kRuleServerKey = u"CLSID\\{20F58816-51E4-418D-92DD-8390021DCDCA}\\InprocServer32";
constexpr std::u16string_view kPluginKey = u"CLSID\\{20F58816-51E4-418D-92DD-8390021DCDCB}";
constexpr std::u16string_view kProgram = u"\\Program Files\\Velmora\\velmora.exe";

class SystemRegistrationTest : public ::testing::Test {
 protected:
  SystemRegistrationTest() : registry_(device().RegistryFile()), registration_(device(), registry_, kProgram) {
    for (const char* folder : {"Program Files/Velmora", "Storage/Application Data/Home", "Windows/StartUp"}) {
      fs::create_directories(device().FsRoot() / folder);
    }
  }
  const Device& device() const { return temp_.device(); }
  void Write(const fs::path& relative, const std::string& text) { std::ofstream(device().FsRoot() / relative) << text; }
  std::string Read(const fs::path& relative) {
    std::ifstream in(device().FsRoot() / relative);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  bool Exists(const fs::path& relative) { return fs::exists(device().FsRoot() / relative); }

  testing::TempDevice temp_;
  Registry registry_;
  SystemRegistration registration_;
};

TEST_F(SystemRegistrationTest, TheRuleClientIsCopiedToStorageAndNeedsBothEntries) {
  Write("Program Files/Velmora/corvane.dll", "library");
  EXPECT_FALSE(registration_.RuleClientRegistered());
  ASSERT_TRUE(registration_.RegisterRuleClient());
  EXPECT_TRUE(registration_.RuleClientRegistered());
  EXPECT_EQ(Read("Storage/corvane.dll"), "library");
  EXPECT_EQ(registry_.QueryString(HKCR, kRuleServerKey, u""), u"\\Storage\\corvane.dll");
  EXPECT_EQ(registry_.QueryDword(RegRoot::LocalMachine, kSmsRulesKey, kRuleClientClassId), 1u);

  // Pointing at another file, the switch reads off; registering again rewrites both entries.
  ASSERT_TRUE(registry_.SetString(HKCR, kRuleServerKey, u"", u"corvane.dll"));
  EXPECT_FALSE(registration_.RuleClientRegistered());
  ASSERT_TRUE(registration_.RegisterRuleClient());
  EXPECT_TRUE(registration_.RuleClientRegistered());
  ASSERT_TRUE(registry_.SetDword(RegRoot::LocalMachine, kSmsRulesKey, kRuleClientClassId, 0));
  EXPECT_FALSE(registration_.RuleClientRegistered());

  registration_.UnregisterRuleClient();
  EXPECT_FALSE(registration_.RuleClientRegistered());
  EXPECT_FALSE(registry_.KeyExists(HKCR, u"CLSID\\{20F58816-51E4-418D-92DD-8390021DCDCA}"));
  EXPECT_FALSE(registry_.QueryDword(RegRoot::LocalMachine, kSmsRulesKey, kRuleClientClassId).has_value());
  EXPECT_TRUE(Exists("Storage/corvane.dll")) << "the copied library stays";
  registration_.UnregisterRuleClient();  // twice is harmless
}

TEST_F(SystemRegistrationTest, TheHomePluginNeedsItsFileBesideTheProgram) {
  EXPECT_FALSE(registration_.SetHomePlugin(true));
  EXPECT_FALSE(registration_.HomePluginRegistered());
  EXPECT_FALSE(registry_.QueryString(RegRoot::CurrentUser, kSettingsKey, u"Path").has_value())
      << "a missing sms.home.xml changes nothing in the registry";

  Write("Program Files/Velmora/sms.home.xml", "<home/>");
  ASSERT_TRUE(registration_.SetHomePlugin(true));
  EXPECT_TRUE(registration_.HomePluginRegistered());
  EXPECT_EQ(Read("Storage/Application Data/Home/sms.home.xml"), "<home/>");
  EXPECT_EQ(registry_.QueryString(RegRoot::CurrentUser, kSettingsKey, u"Path"), kProgram);
  EXPECT_EQ(registry_.QueryString(HKCR, kPluginKey, u""), u"Velmora");
  EXPECT_EQ(registry_.QueryString(HKCR, std::u16string(kPluginKey) + u"\\InprocServer32", u""),
            u"\\Program Files\\Velmora\\velmora.dll");

  ASSERT_TRUE(registration_.SetHomePlugin(false));
  EXPECT_FALSE(registration_.HomePluginRegistered());
  EXPECT_FALSE(Exists("Storage/Application Data/Home/sms.home.xml"));
  EXPECT_TRUE(registration_.SetHomePlugin(false)) << "off when it is off already";
}

TEST_F(SystemRegistrationTest, AutoRunMakesTheStartUpShortcutAndOffRemovesItWithTheLoader) {
  Write("Program Files/Velmora/loader.exe", "loader");
  ASSERT_TRUE(registration_.ApplyAutoStart(true));
  EXPECT_EQ(Read("Storage/loader.exe"), "loader");
  EXPECT_EQ(SystemRegistration::StartUpShortcutPath(), u"\\Windows\\StartUp\\Velmora.lnk");
  EXPECT_EQ(Read("Windows/StartUp/Velmora.lnk"),
            "56#\\storage\\loader.exe \"\\Program Files\\Velmora\\velmora.exe\"");

  ASSERT_TRUE(registration_.ApplyAutoStart(false));
  EXPECT_FALSE(Exists("Windows/StartUp/Velmora.lnk"));
  EXPECT_FALSE(Exists("Storage/loader.exe"));
  // Off removes a loader the user put there too, and finds nothing missing an error.
  Write("Storage/loader.exe", "mine");
  EXPECT_TRUE(registration_.ApplyAutoStart(false));
  EXPECT_FALSE(Exists("Storage/loader.exe"));
}

}  // namespace
}  // namespace brevalo
