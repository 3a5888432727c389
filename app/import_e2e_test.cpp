// Importing from the phone's own message store as a person does it: messages put into the
// phone's inbox and sent items with `phonesim store add`, the Import SMS dialog opened on a
// folder of the tree with the keys, rows ticked, and the result read back with `kvt tree` and
// `phonesim store list`.
#include <sqlite3.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "app/velmora_test_fixture.h"
#include "device/phone_database.h"

namespace brevalo {
namespace {

using testing::Program;
using testing::TreeSelection;

constexpr char kDocument[] = "'\\My Documents\\sms.kvt'";

class ImportE2eTest : public testing::VelmoraTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Phonesim("init"));
    ASSERT_TRUE(Phonesim("install"));
    std::filesystem::create_directories(device().FsRoot() / "My Documents");
    ASSERT_TRUE(Kvt(std::string("new --standard-folders ") + kDocument));
    Registry registry(device().RegistryFile());
    ASSERT_TRUE(registry.Load());
    ASSERT_TRUE(registry.SetString(RegRoot::CurrentUser, u"Software\\Velmora", u"LastOpenFile",
                                   u"\\My Documents\\sms.kvt"));
    SetSetting(u"ImportTitle", 0);  // titles are the start of the text, whole
    SetSetting(u"SummaryLength", 40);
  }

  void StoreAdd(const std::string& folder, const std::string& from, const std::string& text,
                const std::string& time = "") {
    std::string command = "store add --folder " + folder + " --from '" + from + "' --text '" + text + "'";
    if (!time.empty()) command += " --time " + time;
    ASSERT_TRUE(Phonesim(command)) << command;
  }
  std::vector<std::string> PhoneTexts(const std::string& folder) {
    std::vector<std::string> texts;
    std::optional<std::string> out = Phonesim("--json store list --folder " + folder);
    if (!out) return {"no list"};
    const nlohmann::json listed = nlohmann::json::parse(*out, nullptr, false);
    if (!listed.contains("messages")) return {"not a list: " + *out};
    for (const nlohmann::json& message : listed["messages"]) texts.push_back(message["text"]);
    return texts;
  }
  // The saved tree, one line per node, indented by depth.
  std::vector<std::string> SavedTree() { return KvtTreeLines(kDocument, false); }

  void Start() {
    program_.emplace(device());
    ScreenWhen(MainWindowInFront);
  }
  // Moves the tree's selection down to the top-level folder `label`.
  void SelectFolder(const std::string& label) {
    for (int i = 0; i < 10 && TreeSelection(*Screen()) != label; ++i) Keys("Down");
    ASSERT_EQ(TreeSelection(*Screen()), label);
  }
  // Import SMS... of the main window's menu, on the selected folder; the dialog's screen.
  nlohmann::json OpenImport() {
    Keys("Soft2");
    Choose("Operate");
    Choose("Import SMS...");
    return ScreenWhen([](const nlohmann::json& s) { return s["title"] == "Import SMS"; });
  }
  static const nlohmann::json& List(const nlohmann::json& screen) {
    for (const nlohmann::json& control : screen["controls"]) {
      if (control["id"] == 1001) return control;
    }
    static const nlohmann::json none = nlohmann::json::object();
    return none;
  }
  static std::vector<std::string> Rows(const nlohmann::json& screen) {
    std::vector<std::string> rows;
    for (const nlohmann::json& row : List(screen)["rows"]) {
      rows.push_back((row["checked"].get<bool>() ? "[x] " : "[ ] ") + row["text"].get<std::string>());
    }
    return rows;
  }
  nlohmann::json BackInMainWindow() { return ScreenWhen(MainWindowInFront); }

  std::optional<Program> program_;
};

TEST_F(ImportE2eTest, ThreeTickedMessagesLandUnderTheFolderInListOrderAndLeaveThePhone) {
  StoreAdd("inbox", "+4930111", "first today");
  StoreAdd("inbox", "+4930222", "from another day", "2025-03-04T10:00:00Z");
  StoreAdd("inbox", "+8613800", "二十个汉字二十个汉字二十个汉字二十个汉字");
  StoreAdd("inbox", "+4930444", "abcdefghijklmnopqrstuvwxyzabcd");
  StoreAdd("inbox", "+4930555", "last one");
  Start();
  SelectFolder("Sent Box");
  nlohmann::json dialog = OpenImport();
  std::vector<std::string> rows = Rows(dialog);
  ASSERT_EQ(rows.size(), 5u);
  EXPECT_EQ(List(dialog)["rows"][0]["selected"], true) << "the first row is selected";
  // Today's message shows its time (no date slashes), another day's its date.
  EXPECT_EQ(rows[0].find('/'), std::string::npos) << rows[0];
  EXPECT_NE(rows[1].find("+4930222 3/4/2025\nfrom another day"), std::string::npos) << rows[1];
  // 20 Chinese characters show as their first 13 and "..", 30 Latin letters whole.
  EXPECT_EQ(rows[2].substr(rows[2].find('\n') + 1), "二十个汉字二十个汉字二十个..");
  EXPECT_EQ(rows[3].substr(rows[3].find('\n') + 1), "abcdefghijklmnopqrstuvwxyzabcd");

  Keys("Action Down Down Action Down Down Action");
  nlohmann::json ticked = Screen().value();
  EXPECT_EQ(Rows(ticked)[0].substr(0, 4), "[x] ");
  EXPECT_EQ(Rows(ticked)[1].substr(0, 4), "[ ] ");
  EXPECT_EQ(Rows(ticked)[4].substr(0, 4), "[x] ");
  Keys("Soft2");
  Choose("Delete After Import");
  Keys("Soft1");  // Import
  BackInMainWindow();

  EXPECT_EQ(SavedTree(), (std::vector<std::string>{"Inbox", "Sent Box", "  first today",
                                                   "  二十个汉字二十个汉字二十个汉字二十个汉字", "  last one",
                                                   "Drafts"}));
  EXPECT_EQ(PhoneTexts("inbox"),
            (std::vector<std::string>{"from another day", "abcdefghijklmnopqrstuvwxyzabcd"}));
  EXPECT_EQ(StoredSetting(u"SmsDelete").value_or(0), 0u) << "settings are saved with the next save of them";
  program_->Terminate();
  EXPECT_EQ(StoredSetting(u"SmsDelete"), 1u);
}

TEST_F(ImportE2eTest, SentItemsAreImportedAndLeaveThePhoneFromTheSentFolder) {
  SetSetting(u"SmsDelete", 1);
  StoreAdd("sent", "+4930111", "sent first");
  StoreAdd("sent", "+4930222", "sent second");
  StoreAdd("inbox", "+4930333", "received");
  Start();
  SelectFolder("Inbox");
  nlohmann::json dialog = OpenImport();
  EXPECT_EQ(Rows(dialog).size(), 1u) << "the inbox first";
  Keys("Soft2");
  nlohmann::json menu = ScreenWhen([](const nlohmann::json& s) { return !s["menu"].is_null(); });
  std::vector<std::string> marked;
  for (const nlohmann::json& item : menu["menu"]["items"]) {
    if (item.value("checked", false)) marked.push_back(item["text"]);
  }
  EXPECT_EQ(marked, (std::vector<std::string>{"Delete After Import", "From Inbox"}));
  Choose("From Sent Items");
  dialog = ScreenWhen([](const nlohmann::json& s) { return List(s)["rows"].size() == 2; });
  Keys("Soft2");
  Choose("Check All");
  Keys("Soft1");
  BackInMainWindow();
  EXPECT_EQ(SavedTree(), (std::vector<std::string>{"Inbox", "  sent first", "  sent second", "Sent Box", "Drafts"}));
  EXPECT_TRUE(PhoneTexts("sent").empty()) << "sent items are deleted through their own folder";
  EXPECT_EQ(PhoneTexts("inbox"), (std::vector<std::string>{"received"}));
}

TEST_F(ImportE2eTest, WithoutAStoreNamedSmsOrWithNothingTickedNothingIsImported) {
  StoreAdd("inbox", "+4930111", "stays");
  SetSetting(u"SmsDelete", 1);
  Start();
  SelectFolder("Inbox");
  nlohmann::json dialog = OpenImport();
  EXPECT_EQ(Rows(dialog).size(), 1u);
  Keys("Soft1");  // nothing ticked
  BackInMainWindow();
  EXPECT_EQ(PhoneTexts("inbox"), (std::vector<std::string>{"stays"}));

  // The phone's store goes by another name now.
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(PhoneDatabase::FileOf(device()).c_str(), &db), SQLITE_OK);
  EXPECT_EQ(sqlite3_exec(db, "UPDATE stores SET name = 'Messages' WHERE name = 'SMS'", nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(db);
  dialog = OpenImport();
  EXPECT_TRUE(Rows(dialog).empty());
  Keys("Soft2");
  Choose("Check All");
  Keys("Soft1");
  BackInMainWindow();
  Keys("Soft1");
  Choose("Save");
  EXPECT_EQ(SavedTree(), (std::vector<std::string>{"Inbox", "Sent Box", "Drafts"}));
  EXPECT_EQ(PhoneTexts("inbox"), (std::vector<std::string>{"stays"}));
}

}  // namespace
}  // namespace brevalo
