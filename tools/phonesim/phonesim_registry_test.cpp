// phonesim reg and events, driven as a person does from the shell.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "device/event_log.h"
#include "device/registry.h"
#include "tests/support/shell_command.h"

namespace brevalo {
namespace {
namespace fs = std::filesystem;

using Result = testing::ShellResult;

class PhonesimRegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/phonesim-reg-XXXXXX";
    dir_ = mkdtemp(pattern);
  }
  void TearDown() override { fs::remove_all(dir_); }

  Result Phonesim(const std::string& args) {
    return testing::RunToolLine("phonesim", dir_.string(), args);
  }

  fs::path dir_;
};

TEST_F(PhonesimRegistryTest, ValuesOfEachTypeAreSetQueriedAndDeleted) {
  ASSERT_EQ(Phonesim("reg set 'HKLM\\Device' AnsiCodePage REG_DWORD 0x3a8").code, 0);
  ASSERT_EQ(Phonesim("reg set 'HKEY_CURRENT_USER\\Software\\Velmora' Sign REG_SZ 'Best wishes'").code, 0);
  ASSERT_EQ(Phonesim("reg set HKCU\\\\Software\\\\Velmora Blob binary 01,ff,20").code, 0);
  Registry registry(dir_ / "registry.reg");
  EXPECT_EQ(registry.QueryDword(RegRoot::LocalMachine, u"Device", u"AnsiCodePage"), 936u);
  EXPECT_EQ(registry.QueryString(RegRoot::CurrentUser, u"Software\\Velmora", u"Sign"),
            u"Best wishes");
  EXPECT_EQ(registry.Query(RegRoot::CurrentUser, u"Software\\Velmora", u"Blob")->bytes,
            (std::vector<uint8_t>{0x01, 0xFF, 0x20}));

  nlohmann::json all = nlohmann::json::parse(Phonesim("--json reg query HKCU\\\\Software\\\\Velmora").out);
  ASSERT_EQ(all["values"].size(), 2u);
  EXPECT_EQ(all["values"][0]["name"], "Blob");
  EXPECT_EQ(all["values"][0]["data"], "01,ff,20");
  EXPECT_EQ(all["values"][1]["data"], "Best wishes");
  EXPECT_EQ(nlohmann::json::parse(Phonesim("--json reg query HKCU\\\\Software")
                                      .out)["subkeys"][0], "Velmora");
  EXPECT_EQ(Phonesim("reg query HKLM\\\\Device AnsiCodePage").out,
            "\"AnsiCodePage\" REG_DWORD 936\n");

  EXPECT_EQ(Phonesim("reg delete HKLM\\\\Device AnsiCodePage").code, 0);
  EXPECT_EQ(Phonesim("reg query HKLM\\\\Device AnsiCodePage").code, 1);
  EXPECT_EQ(Phonesim("reg delete HKCU\\\\Software").code, 0);
  EXPECT_FALSE(registry.KeyExists(RegRoot::CurrentUser, u"Software\\Velmora"));
}

TEST_F(PhonesimRegistryTest, BadInputIsAClearFailure) {
  EXPECT_EQ(Phonesim("reg set HKLM\\\\Device N REG_DWORD -1").code, 2);
  EXPECT_EQ(Phonesim("reg set HKLM\\\\Device N REG_DWORD 4294967296").code, 2);
  EXPECT_EQ(Phonesim("reg set HKLM\\\\Device N REG_BINARY 0g").code, 2);
  EXPECT_EQ(Phonesim("reg set HKLM\\\\Device N REG_MULTI x").code, 2);
  EXPECT_EQ(Phonesim("reg set HKEY_USERS\\\\X N REG_SZ x").code, 1);
  EXPECT_EQ(Phonesim("reg query HKLM\\\\Missing").code, 1);
  EXPECT_EQ(Phonesim("reg").code, 2);
  EXPECT_EQ(Phonesim("").code, 2);
  std::ofstream(dir_ / "registry.reg") << "[HKEY_CURRENT_USER\\A]\nbroken line\n";
  EXPECT_EQ(Phonesim("reg set HKCU\\\\A N REG_SZ x").code, 1);
  EXPECT_EQ(Phonesim("reg query HKCU\\\\A").code, 1);
}

TEST_F(PhonesimRegistryTest, EventsArePrintedOneALine) {
  EventLog log{Device(dir_)};
  ASSERT_TRUE(log.Append("vibrate", {{"ms", 300}}));
  ASSERT_TRUE(log.AppendDebugOutput(u"corvane.dll", u"CFactory Deleted!\r\n"));
  std::istringstream lines(Phonesim("--json events").out);
  std::string first, second, third;
  std::getline(lines, first);
  std::getline(lines, second);
  EXPECT_FALSE(std::getline(lines, third));
  EXPECT_EQ(nlohmann::json::parse(first)["kind"], "vibrate");
  EXPECT_EQ(nlohmann::json::parse(second)["text"], "CFactory Deleted!");
  EXPECT_NE(Phonesim("events").out.find("  vibrate  {\"ms\":300}"), std::string::npos);
}

}  // namespace
}  // namespace brevalo
