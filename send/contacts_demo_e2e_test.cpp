// The picker, the group editors and My Text on a device made by phonesim, over the contacts
// that phonesim adds, driven and read with phonesim as a person with a phone would.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <thread>

#include <nlohmann/json.hpp>

#include "app/velmora_process.h"
#include "send/memory_list_file.h"
#include "tests/support/phonesim_screen.h"
#include "tests/support/shell_command.h"

namespace brevalo {
namespace {
namespace fs = std::filesystem;

using Result = testing::ShellResult;

using testing::ListFileBytes;

class ContactsDemoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/contacts-e2e-XXXXXX";
    dir_ = mkdtemp(pattern);
    ASSERT_EQ(Phonesim("init").code, 0);
    fs::remove(dir_ / "phone" / "contacts.vcf");  // without the sample contacts
    ASSERT_EQ(Phonesim("contacts add --name 'Zoe Ward' --home 0101 --categories 'Family'").code, 0);
    ASSERT_EQ(Phonesim("contacts add --name 'BOB STONE' --mobile 139 --work 0105 "
                       "--categories 'Work, Golf'").code, 0);
    ASSERT_EQ(Phonesim("contacts add --name 'Nobody Home'").code, 0);
  }
  void TearDown() override {
    Stop();
    fs::remove_all(dir_);
  }

  void Start() {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    demo_.emplace("contacts_demo", std::vector<std::string>{"--device", dir_.string()});
    for (int i = 0; i < 200 && Phonesim("ui").code != 0; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ASSERT_EQ(Phonesim("ui").code, 0) << "the demo's screen did not come up";
  }
  void Stop() {
    if (demo_) demo_->Terminate();
    demo_.reset();
  }

  Result Phonesim(const std::string& args) { return testing::RunPhonesim(dir_.string(), args); }
  nlohmann::json Ui() { return testing::ScreenJson(dir_.string()); }
  void Keys(const std::string& keys) { ASSERT_EQ(Phonesim("key " + keys).code, 0) << keys; }
  nlohmann::json Control(const nlohmann::json& screen, int id) {
    for (const nlohmann::json& control : screen["controls"]) {
      if (control["id"] == id) return control;
    }
    return {};
  }
  std::vector<std::string> Rows(int id) {
    std::vector<std::string> rows;
    const nlohmann::json list = Control(Ui(), id);
    for (const nlohmann::json& row : list["rows"]) rows.push_back(row["text"]);
    return rows;
  }
  std::string ResultText() { return Control(Ui(), 1011)["text"]; }
  fs::path ProgramFile(const char* name) { return dir_ / "fs" / "Program Files" / "Velmora" / name; }
  std::string FileBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }

  fs::path dir_;
  std::optional<testing::ChildProcess> demo_;
};

TEST_F(ContactsDemoTest, PicksAPhoneContactByALowerCaseKeywordAndItsWorkNumber) {
  Start();
  Keys("Soft2 1");  // Pick a number
  nlohmann::json picker = Ui();
  EXPECT_EQ(picker["title"], "Contacts");
  EXPECT_EQ(Rows(1001), (std::vector<std::string>{"Zoe Ward", "BOB STONE"}));
  ASSERT_EQ(Phonesim("type bo").code, 0);
  EXPECT_EQ(Control(Ui(), 1001)["selection"], "BOB STONE");
  Keys("Down 5");
  nlohmann::json shown = Ui();
  EXPECT_EQ(shown["hint"], "0105");
  EXPECT_EQ(Control(shown, 1001)["rows"][1]["columns"][1], "W");
  Keys("Soft1");
  EXPECT_EQ(ResultText(), "40090 0105");
}

TEST_F(ContactsDemoTest, AGroupDeletedInThePickerIsGoneAfterARestart) {
  {
    std::ofstream(ProgramFile("smsgroup.ini"), std::ios::binary)
        << ListFileBytes({u"[A]", u"a1|111", u"a2|222", u"[B]", u"b1|333"});
  }
  Start();
  Keys("Soft1");  // Pick with groups
  EXPECT_EQ(Rows(1001), (std::vector<std::string>{"B", "A", "Zoe Ward", "BOB STONE"}));
  Keys("Down Down Soft2 7");  // Delete Group on A
  EXPECT_EQ(Rows(1001), (std::vector<std::string>{"B", "Zoe Ward", "BOB STONE"}));
  Keys("Up Action Soft1");  // B checked, Add
  EXPECT_EQ(ResultText(), "40090 ;\"b1\"<333>");
  EXPECT_EQ(FileBytes(ProgramFile("smsgroup.ini")), ListFileBytes({u"[B]", u"b1|333"}));
  Stop();
  Start();
  Keys("Soft1");
  EXPECT_EQ(Rows(1001), (std::vector<std::string>{"B", "Zoe Ward", "BOB STONE"}));
}

TEST_F(ContactsDemoTest, ADoubleActionOnAGroupOpensItsMembersAndWhatIsAddedThereIsSaved) {
  {
    std::ofstream(ProgramFile("smsgroup.ini"), std::ios::binary) << ListFileBytes({u"[Team]", u"Tom|100"});
  }
  Start();
  Keys("Soft1 Down Action Action");
  nlohmann::json editor = Ui();
  EXPECT_EQ(editor["title"], "Black List");
  EXPECT_EQ(Control(editor, 1001)["rows"][0]["columns"], (nlohmann::json{"Tom", "100"}));
  ASSERT_EQ(Phonesim("type Ann").code, 0);
  Keys("Down");
  ASSERT_EQ(Phonesim("type 555").code, 0);
  Keys("Down Action Soft1");
  EXPECT_EQ(Ui()["title"], "Contacts");
  EXPECT_EQ(FileBytes(ProgramFile("smsgroup.ini")), ListFileBytes({u"[Team]", u"Tom|100", u"Ann|555"}));
}

TEST_F(ContactsDemoTest, AFirstStartWritesTheGroupAndSentenceFilesAndMyTextPicksASentence) {
  Start();
  EXPECT_EQ(FileBytes(ProgramFile("smsgroup.ini")), "\xFF\xFE");
  EXPECT_FALSE(fs::exists(ProgramFile("velmora.sen")));
  Keys("Soft2 5");  // My Text
  EXPECT_EQ(Ui()["title"], "My Text");
  EXPECT_EQ(Rows(1001).front(), "Yes.");
  EXPECT_EQ(FileBytes(ProgramFile("velmora.sen")),
            ListFileBytes({u"Yes.", u"No.", u"Thanks!", u"Please call my mobile.", u"I'll be right there.",
                       u"I'm running late.", u"I'll get back to you.", u"Sorry, I am busy now."}));
  Keys("Down Soft1");
  EXPECT_EQ(ResultText(), "1 No.");
}

TEST_F(ContactsDemoTest, ADeviceWithoutTheContactsServerListsOnlyGroups) {
  ASSERT_EQ(Phonesim("reg delete 'HKCR\\CLSID\\{05058F23-20BE-11D2-8F18-0000F87A4335}'").code, 0);
  {
    std::ofstream(ProgramFile("smsgroup.ini"), std::ios::binary) << ListFileBytes({u"[Only]", u"o|1"});
  }
  Start();
  Keys("Soft1");
  EXPECT_EQ(Rows(1001), (std::vector<std::string>{"Only"}));
  Keys("Back");
  Keys("Soft2 1");
  EXPECT_TRUE(Rows(1001).empty());
}

}  // namespace
}  // namespace brevalo
