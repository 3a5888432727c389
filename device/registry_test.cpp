#include "device/registry.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "device/registry_text.h"

namespace brevalo {
namespace {
namespace fs = std::filesystem;

constexpr RegRoot HKCU = RegRoot::CurrentUser;
constexpr RegRoot HKLM = RegRoot::LocalMachine;

std::string ReadFile(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/registry-XXXXXX";
    dir_ = mkdtemp(pattern);
    file_ = dir_ / "registry.reg";
  }
  void TearDown() override { fs::remove_all(dir_); }
  fs::path dir_;
  fs::path file_;
};

TEST_F(RegistryTest, ValuesOfEveryTypeSurviveAReopen) {
  {
    Registry reg(file_);
    ASSERT_TRUE(reg.Load());  // a missing file is an empty registry
    ASSERT_TRUE(reg.SetString(HKCU, u"Software\\Velmora", u"LastOpenFile",
                              u"\\My Documents\\\"quoted\"\nnext line 短信"));
    ASSERT_TRUE(reg.SetDword(HKCU, u"\\Software\\Velmora\\Index", u"\\sms.kvt", 0xDEADBEEF));
    std::vector<uint8_t> bytes(60);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 7);
    ASSERT_TRUE(reg.SetBinary(HKLM, u"Device", u"Blob", bytes));
    ASSERT_TRUE(reg.SetBinary(HKLM, u"Device", u"Empty", {}));
    ASSERT_TRUE(reg.SetString(HKLM, u"Device", u"", u"default"));
  }
  Registry reg(file_);
  ASSERT_TRUE(reg.Load()) << reg.LastError();
  EXPECT_EQ(reg.QueryString(HKCU, u"SOFTWARE\\velmora", u"lastopenfile"),
            u"\\My Documents\\\"quoted\"\nnext line 短信");
  EXPECT_EQ(reg.QueryDword(HKCU, u"Software\\Velmora\\Index", u"\\SMS.KVT"), 0xDEADBEEFu);
  std::optional<RegValue> blob = reg.Query(HKLM, u"Device", u"Blob");
  ASSERT_TRUE(blob);
  EXPECT_EQ(blob->type, REG_BINARY);
  ASSERT_EQ(blob->bytes.size(), 60u);
  EXPECT_EQ(blob->bytes[59], static_cast<uint8_t>(59 * 7));
  EXPECT_EQ(reg.Query(HKLM, u"Device", u"Empty")->bytes.size(), 0u);
  EXPECT_EQ(reg.QueryString(HKLM, u"Device", u""), u"default");
  // A value asked for as the wrong type is not there.
  EXPECT_FALSE(reg.QueryString(HKCU, u"Software\\Velmora\\Index", u"\\sms.kvt"));
  EXPECT_FALSE(reg.QueryDword(HKCU, u"Software\\Velmora", u"Missing"));
  EXPECT_FALSE(reg.Query(RegRoot::ClassesRoot, u"Software\\Velmora", u"LastOpenFile"));
}

TEST_F(RegistryTest, KeysAreCreatedEnumeratedAndDeletedWithTheirSubKeys) {
  Registry reg(file_);
  ASSERT_TRUE(reg.CreateKey(HKCU, u"Software\\Velmora\\Filters\\Work"));
  ASSERT_TRUE(reg.SetDword(HKCU, u"Software\\Velmora\\Filters\\Home", u"On", 1));
  ASSERT_TRUE(reg.SetDword(HKCU, u"Software\\Velmora", u"b", 2));
  ASSERT_TRUE(reg.SetDword(HKCU, u"Software\\Velmora", u"A", 1));
  EXPECT_EQ(reg.SubKeys(HKCU, u"software\\velmora\\filters"),
            (std::vector<std::u16string>{u"Home", u"Work"}));
  EXPECT_EQ(reg.ValueNames(HKCU, u"Software\\Velmora"), (std::vector<std::u16string>{u"A", u"b"}));
  EXPECT_TRUE(reg.KeyExists(HKCU, u"Software\\Velmora\\Filters\\Work"));

  ASSERT_TRUE(reg.DeleteKey(HKCU, u"SOFTWARE\\VELMORA\\FILTERS"));
  EXPECT_FALSE(reg.KeyExists(HKCU, u"Software\\Velmora\\Filters\\Work"));
  EXPECT_FALSE(reg.KeyExists(HKCU, u"Software\\Velmora\\Filters"));
  EXPECT_EQ(reg.QueryDword(HKCU, u"Software\\Velmora", u"A"), 1u);
  EXPECT_FALSE(reg.DeleteKey(HKCU, u"Software\\Velmora\\Filters"));
  EXPECT_FALSE(reg.DeleteKey(HKCU, u""));  // a root stays
  ASSERT_TRUE(reg.DeleteValue(HKCU, u"Software\\Velmora", u"a"));
  EXPECT_FALSE(reg.DeleteValue(HKCU, u"Software\\Velmora", u"a"));

  // An empty key survives in the file.
  Registry again(file_);
  ASSERT_TRUE(again.Load());
  EXPECT_TRUE(again.KeyExists(HKCU, u"Software\\Velmora"));
  EXPECT_EQ(again.ValueNames(HKCU, u"Software\\Velmora"), (std::vector<std::u16string>{u"b"}));
}

TEST_F(RegistryTest, NamesTheTextFormCannotCarryAreRefused) {
  Registry reg(file_);
  EXPECT_FALSE(reg.CreateKey(HKCU, u"Software\\\\Velmora"));
  EXPECT_FALSE(reg.CreateKey(HKCU, u"Soft[ware]"));
  EXPECT_FALSE(reg.SetDword(HKCU, u"a\nb", u"x", 1));
  RegValue odd;
  odd.type = 7;
  EXPECT_FALSE(reg.Set(HKCU, u"Software", u"x", odd));
  EXPECT_FALSE(fs::exists(file_));
}

TEST_F(RegistryTest, ChangesFromAnotherProcessAreSeen) {
  Registry mine(file_);
  Registry theirs(file_);
  ASSERT_TRUE(mine.SetDword(HKCU, u"Software\\Velmora", u"Mine", 1));
  ASSERT_TRUE(theirs.SetDword(HKCU, u"Software\\Velmora", u"Theirs", 2));
  EXPECT_EQ(mine.QueryDword(HKCU, u"Software\\Velmora", u"Theirs"), 2u);
  EXPECT_EQ(theirs.QueryDword(HKCU, u"Software\\Velmora", u"Mine"), 1u);
}

TEST_F(RegistryTest, WritersInSeveralProcessesLoseNothing) {
  constexpr int kWriters = 4;
  constexpr int kValuesEach = 25;
  std::vector<pid_t> children;
  for (int w = 0; w < kWriters; ++w) {
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      Registry reg(file_);
      bool ok = true;
      for (int i = 0; i < kValuesEach; ++i) {
        std::u16string name = u"w" + std::u16string(1, char16_t(u'0' + w)) + u"-" +
                              std::u16string(1, char16_t(u'A' + i));
        ok = reg.SetDword(HKCU, u"Software\\Velmora\\Race", name, static_cast<uint32_t>(i)) && ok;
      }
      _exit(ok ? 0 : 1);
    }
    children.push_back(pid);
  }
  for (pid_t pid : children) {
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  Registry reg(file_);
  ASSERT_TRUE(reg.Load()) << reg.LastError();
  EXPECT_EQ(reg.ValueNames(HKCU, u"Software\\Velmora\\Race").size(),
            static_cast<size_t>(kWriters * kValuesEach));
}

TEST_F(RegistryTest, ADamagedFileIsNamedWithItsLineAndNeverOverwritten) {
  const std::string damaged =
      "; device registry\n\n[HKEY_CURRENT_USER\\Software]\n\"Good\"=dword:00000001\n"
      "\"Bad\"=dword:xyz\n";
  std::ofstream(file_) << damaged;
  Registry reg(file_);
  EXPECT_FALSE(reg.Load());
  EXPECT_NE(reg.LastError().find(file_.string() + ":5:"), std::string::npos) << reg.LastError();
  EXPECT_FALSE(reg.SetDword(HKCU, u"Software", u"New", 2));
  EXPECT_FALSE(reg.DeleteKey(HKCU, u"Software"));
  EXPECT_EQ(ReadFile(file_), damaged);

  // Once repaired by hand, the registry works again.
  std::ofstream(file_) << "[HKEY_CURRENT_USER\\Software]\n\"Good\"=dword:00000001\n";
  EXPECT_TRUE(reg.SetDword(HKCU, u"Software", u"New", 2)) << reg.LastError();
  EXPECT_EQ(reg.QueryDword(HKCU, u"Software", u"Good"), 1u);
}

TEST(RegistryTextTest, EveryKindOfDamageIsReportedWithItsLine) {
  struct Case {
    const char* text;
    const char* error;
  };
  const Case cases[] = {
      {"\"x\"=dword:1\n", "1: value outside any key"},
      {"header\n[HKEY_LOCAL_MACHINE\\A\n", "2: a key line must end with ']'"},
      {"[HKEY_USERS\\A]\n", "1: unknown root key"},
      {"[HKEY_CURRENT_USER\\A\\\\B]\n", "1: bad key name"},
      {"[HKEY_CURRENT_USER\\A]\n\"x\"=dword:123456789\n", "2: a dword needs 1 to 8 hex digits"},
      {"[HKEY_CURRENT_USER\\A]\n\"x\"=\"open\n", "2: unterminated string"},
      {"[HKEY_CURRENT_USER\\A]\n\"x\"=\"\\t\"\n", "2: unknown escape \\t"},
      {"[HKEY_CURRENT_USER\\A]\n\"x\"=\"a\" junk\n", "2: unexpected text after the value"},
      {"[HKEY_CURRENT_USER\\A]\n\"x\"=hex:01,zz\n", "2: bad byte in hex list"},
      {"[HKEY_CURRENT_USER\\A]\n\"x\"=hex:01,\\\n  02,\n", "2: hex list ends with ','"},
      {"[HKEY_CURRENT_USER\\A]\n\"x\"=multi:1\n", "2: unknown value type"},
      {"[HKEY_CURRENT_USER\\A]\n\"x\" \"y\"\n", "2: expected '=' after the name"},
      {"[HKEY_CURRENT_USER\\A]\nplain text\n", "2: not a key or a value"},
      {"[HKEY_CURRENT_USER\\A]\n\"a\"=hex:01,\\\n 02,\\\n 03\nnonsense\n", "5: not a key or a value"},
  };
  for (const Case& c : cases) {
    RegistryTree tree;
    std::string error;
    EXPECT_FALSE(ParseRegistryText(c.text, &tree, &error)) << c.text;
    EXPECT_EQ(error, c.error) << c.text;
  }
}

TEST(RegistryTextTest, FormattedTextParsesToTheSameTree) {
  RegistryTree tree;
  RegKeyNode* key = tree.Create(RegRoot::LocalMachine, {u"Device", u"Screen"});
  RegValue width;
  width.type = REG_DWORD;
  width.dword = 240;
  key->values[u"width"] = {u"Width", width};
  RegValue name;
  name.text = u"back\\slash \"q\" \r\n";
  tree.Root(RegRoot::ClassesRoot).values[u""] = {u"", name};
  std::string text = FormatRegistryText(tree);

  RegistryTree back;
  std::string error;
  ASSERT_TRUE(ParseRegistryText(text, &back, &error)) << error;
  EXPECT_EQ(FormatRegistryText(back), text);
  RegKeyNode* screen = back.Find(RegRoot::LocalMachine, {u"device", u"SCREEN"});
  ASSERT_NE(screen, nullptr);
  EXPECT_EQ(screen->values.at(u"width").first, u"Width");
  EXPECT_EQ(back.Root(RegRoot::ClassesRoot).values.at(u"").second.text, name.text);
  // Windows line ends and a byte-order mark are read as well.
  std::string crlf = "\xEF\xBB\xBF[HKEY_CURRENT_USER\\A]\r\n\"x\"=dword:0000000A\r\n";
  RegistryTree fromCrlf;
  ASSERT_TRUE(ParseRegistryText(crlf, &fromCrlf, &error)) << error;
  EXPECT_EQ(fromCrlf.Find(RegRoot::CurrentUser, {u"a"})->values.at(u"x").second.dword, 10u);
}

}  // namespace
}  // namespace brevalo
