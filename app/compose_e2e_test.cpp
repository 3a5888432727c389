// Writing, sending and reading messages as a person does on the phone: the compose window with
// a recipient picked from the contacts, drafts, a timed message, group sending through a network
// that refuses a number, and the message view with Left and Right, editing, Dial and Set as
// Blacklist. The network's outbox and call log are read through phonesim, the document through
// the store once the program has saved it.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <ctime>
#include <map>
#include <set>

#include "app/intake_device_fixture.h"

namespace brevalo {
namespace {

using testing::TreeRows;

class ComposeTest : public testing::IntakeDeviceTest {
 protected:
  void Keys(const std::string& keys) { ASSERT_TRUE(Phonesim("key " + keys)) << keys; }
  void Type(const std::string& text) { ASSERT_TRUE(Phonesim("type '" + text + "'")) << text; }
  static nlohmann::json ControlOf(const nlohmann::json& screen, int id) {
    for (const nlohmann::json& control : screen["controls"]) {
      if (control["id"] == id) return control;
    }
    return nlohmann::json();
  }
  nlohmann::json WindowWhen(const std::string& title) {
    return ScreenWhen([&](const nlohmann::json& s) {
      return s["home"] == false && s["title"] == title && s["messageBox"].is_null() && s["menu"].is_null();
    });
  }
  std::vector<nlohmann::json> Outbox() {
    std::optional<std::string> out = Phonesim("--json outbox");
    if (!out) return {};
    nlohmann::json listed = nlohmann::json::parse(*out, nullptr, false);
    return listed.contains("messages") ? listed["messages"].get<std::vector<nlohmann::json>>()
                                       : std::vector<nlohmann::json>{};
  }
  bool OutboxReaches(size_t count, int seconds = 10) {
    for (int i = 0; i < seconds * 20; ++i) {
      if (Outbox().size() >= count) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
  }
  // The texts of the messages in each top-level folder of the saved document.
  std::map<std::u16string, std::vector<std::u16string>> SavedFolders() {
    PosixStoreFileSystem files(PosixStoreFileSystem::DevicePaths(device()));
    InMemoryIndexOffsetMemory offsets;
    CodePage page;
    MessageStore store(files, offsets, page);
    FolderTree tree;
    std::map<std::u16string, std::vector<std::u16string>> folders;
    if (!store.Open(testing::kIntakeDocument) || !store.LoadIndex(tree)) return folders;
    for (size_t i = 0; i < tree.Root().ChildCount(); ++i) {
      const TreeNode& folder = *tree.Root().Child(i);
      std::vector<std::u16string>& texts = folders[folder.Label()];
      for (size_t j = 0; j < folder.ChildCount(); ++j) {
        std::optional<std::u16string> text;
        if (store.ReadRecord(folder.Child(j)->Data().offset)) text = store.ReadBodyText();
        texts.push_back(text.value_or(u"<unreadable>"));
      }
    }
    store.Close();
    return folders;
  }
  void OpenCompose() {
    Keys("Soft2 Down Action");  // Menu, SMS...
    WindowWhen("Send SMS");
  }
  // Recipients typed, Down, the body typed.
  void Write(const std::string& recipients, const std::string& body) {
    OpenCompose();
    Type(recipients);
    Keys("Down");
    Type(body);
  }
};

TEST_F(ComposeTest, AMessageToPickedContactsGoesOutWholeAndIsKeptInTheSentBox) {
  // The device's sample contacts start with Ann Lee and Bob Stone; a Chinese name is added.
  ASSERT_TRUE(Phonesim("contacts add --name '王芳' --mobile 5550199"));
  SetSetting(u"SaveToSentBox", 1);
  StartReceivingIntoANewDocument();
  OpenCompose();
  Keys("Action");  // the picker from the empty recipients
  WindowWhen("Contacts");
  nlohmann::json picker = WindowWhen("Contacts");
  const nlohmann::json rows = ControlOf(picker, 1001)["rows"];
  int chinese = 0;
  for (size_t i = 0; i < rows.size(); ++i) {
    if (rows[i]["text"] == "王芳") chinese = static_cast<int>(i);
  }
  ASSERT_GT(chinese, 0);
  Keys("Down Action");  // the first contact
  for (int i = 0; i < chinese; ++i) Keys("Down");
  Keys("Action Soft1");  // and 王芳, Add
  nlohmann::json screen = WindowWhen("Send SMS");
  const std::string first = rows[0]["text"];
  const std::string recipients = ControlOf(screen, 1004)["text"];
  EXPECT_EQ(recipients.rfind("\"" + first + "\"<", 0), 0u) << recipients;
  EXPECT_NE(recipients.find(";\"王芳\"<5550199>"), std::string::npos) << recipients;
  // Longer than one message in either alphabet.
  std::string text;
  for (int i = 0; i < 30; ++i) text += "Hello 你好 " + std::to_string(i) + ". ";
  Keys("Down");
  Type(text);
  screen = WindowWhen("Send SMS");
  EXPECT_EQ(ControlOf(screen, 1101)["text"], "259/70");
  Keys("Soft1");
  WindowWhen("Brevalo");
  ASSERT_TRUE(OutboxReaches(2));
  std::vector<nlohmann::json> outbox = Outbox();
  ASSERT_EQ(outbox.size(), 2u);
  EXPECT_EQ(outbox[1]["to"], "5550199");
  for (const nlohmann::json& sent : outbox) {
    EXPECT_EQ(sent["text"], text) << "the library takes a long text whole, in one message";
    EXPECT_EQ(sent["flash"], false);
  }
  EndProgram();
  auto folders = SavedFolders();
  ASSERT_EQ(folders[u"Sent Box"].size(), 1u);
  EXPECT_EQ(folders[u"Sent Box"][0], u"Send To:" + FromUtf8(recipients) + u"\r\n--------------------\r\n" + FromUtf8(text))
      << "the stored text is whole";
}

TEST_F(ComposeTest, ADraftSavedTwiceIsOneDraftAndSendingMovesIt) {
  SetSetting(u"SaveToSentBox", 0);  // only the draft makes the sent message recorded
  StartReceivingIntoANewDocument();
  Write("5550101", "first words");
  Keys("Soft2 Action");  // Menu, Save
  WindowWhen("Send SMS");
  Type(" and more");
  Keys("Soft2 Action");
  WindowWhen("Send SMS");
  // Save says nothing; the tree behind the window shows the one draft.
  Keys("Soft1");  // Send moves it
  nlohmann::json screen = WindowWhen("Brevalo");
  ASSERT_TRUE(OutboxReaches(1));
  EXPECT_EQ(Outbox()[0]["text"], "first words and more");
  EndProgram();
  auto folders = SavedFolders();
  EXPECT_TRUE(folders[u"Drafts"].empty()) << "the draft went with the Send";
  ASSERT_EQ(folders[u"Sent Box"].size(), 1u);
  EXPECT_EQ(folders[u"Sent Box"][0], u"Send To:5550101\r\n--------------------\r\nfirst words and more");
}

TEST_F(ComposeTest, ACancelledWindowKeepsItsDraftAndAnEmptyFieldIsRefused) {
  StartReceivingIntoANewDocument();
  OpenCompose();
  Keys("Soft1");  // Send with nothing written
  nlohmann::json box = MessageBoxWithin();
  ASSERT_TRUE(box.is_object());
  EXPECT_EQ(box["text"], "Phone Number can't be empty!");
  EXPECT_EQ(box["caption"], "Error");
  Keys("Action");
  WindowWhen("Send SMS");
  Type("5550101");
  Keys("Down");
  Type("keep this");
  Keys("Soft2 Action");  // Save
  WindowWhen("Send SMS");
  Keys("Soft2 Up Action");  // Cancel
  WindowWhen("Brevalo");
  EndProgram();
  EXPECT_EQ(SavedFolders()[u"Drafts"], (std::vector<std::u16string>{
                                          u"Send To:5550101\r\n--------------------\r\nkeep this"}));
  EXPECT_TRUE(Outbox().empty());
}

TEST_F(ComposeTest, ATimedMessageWaitsForItsMinute) {
  StartReceivingIntoANewDocument();
  std::time_t now = std::time(nullptr);
  std::tm local;
  localtime_r(&now, &local);
  // The next minute, or the one after when this one is nearly over.
  std::time_t at = now - local.tm_sec + (local.tm_sec > 50 ? 120 : 60);
  std::tm due;
  localtime_r(&at, &due);
  char digits[16];
  std::strftime(digits, sizeof digits, "%Y%m%d%H%M", &due);
  Write("5550101", "timed hello");
  Keys("Soft2 Down Action");  // Timer...
  WindowWhen("Timer");
  Keys("Action Down");  // Set Timer, on to the time
  Keys("Back Back Back Back Back Back Back Back Back Back Back Back Back Back Back Back");
  Type(digits);
  Keys("Soft1");
  WindowWhen("Send SMS");
  Keys("Soft1");
  WindowWhen("Brevalo");
  std::this_thread::sleep_for(std::chrono::seconds(3));
  EXPECT_TRUE(Outbox().empty()) << "not before its minute";
  ASSERT_TRUE(OutboxReaches(1, 150));
  EXPECT_GE(std::time(nullptr), at);
  EXPECT_EQ(Outbox()[0]["text"], "timed hello");
}

TEST_F(ComposeTest, AGroupSendShowsEachRecipientAndStoresOneRecord) {
  SetSetting(u"SaveToSentBox", 1);
  StartReceivingIntoANewDocument();
  ASSERT_TRUE(Phonesim("network reject 5550102"));
  Write("\"Ann\"<5550101>;5550102;;5550103", "group hello 群发");
  Keys("Down Down Action");  // Flash, Progress: checked
  Keys("Soft1");
  nlohmann::json screen = WindowWhen("群发");
  nlohmann::json list = ControlOf(screen, 1001);
  ASSERT_EQ(list["rows"].size(), 3u);
  EXPECT_EQ(list["rows"][0]["columns"][0], "Ann");
  EXPECT_EQ(ControlOf(screen, 1125)["text"], "It can't be stopped when sending SMS. Press OK to start.");
  Keys("Soft1");
  screen = ScreenWhen([](const nlohmann::json& s) {
    return ControlOf(s, 1125)["text"] == "Send complete! Press OK to exit";
  });
  std::vector<std::string> statuses;
  const nlohmann::json rows = ControlOf(screen, 1001)["rows"];
  for (const nlohmann::json& row : rows) statuses.push_back(row["columns"][1]);
  EXPECT_EQ(statuses, (std::vector<std::string>{"Success", "Fail", "Success"}));
  Keys("Soft1");
  WindowWhen("Brevalo");
  std::vector<nlohmann::json> outbox = Outbox();
  ASSERT_EQ(outbox.size(), 2u);
  EXPECT_EQ(outbox[0]["to"], "5550101");
  EXPECT_EQ(outbox[1]["to"], "5550103");
  EXPECT_EQ(outbox[0]["statusReport"], false);
  EndProgram();
  EXPECT_EQ(SavedFolders()[u"Sent Box"], (std::vector<std::u16string>{
      u"Send To:\"Ann\"<5550101>;5550102;;5550103\r\n--------------------\r\ngroup hello 群发"}));
}

TEST_F(ComposeTest, AGroupSendWhoseLibraryWillNotOpenSaysSoAndKeepsTheMessage) {
  StartReceivingIntoANewDocument();
  ASSERT_TRUE(Phonesim("network fail-open on"));
  Write("5550101;5550102", "not now");
  Keys("Down Down Action Soft1");
  WindowWhen("群发");
  Keys("Soft1");
  nlohmann::json screen = ScreenWhen([](const nlohmann::json& s) {
    return ControlOf(s, 1125)["text"].get<std::string>().find("nothing was sent") != std::string::npos;
  });
  Keys("Soft1");
  screen = WindowWhen("Send SMS");
  EXPECT_EQ(ControlOf(screen, 1003)["text"], "not now");
  EXPECT_TRUE(Outbox().empty());
}

TEST_F(ComposeTest, ReadingAFolderEditingDialingAndBlackListingItsSender) {
  MakeDocument();
  FileStrangersAndHideThem();
  for (const char* text : {"one", "two", "three"}) {
    ASSERT_TRUE(Kvt(std::string("add ") + testing::kIntakeDocumentArgument +
                    " --folder '\\Inbox' --from '555-0177' --text '" + text + "'"));
  }
  StartProgram();
  Keys("Right Down Action");  // into Inbox, the newest first, opened
  nlohmann::json screen = WindowWhen("Content");
  const std::string first = ControlOf(screen, 1022)["text"];
  EXPECT_EQ(ControlOf(screen, 1033)["text"], "5550177");
  Keys("Right");
  screen = WindowWhen("Content");
  const std::string second = ControlOf(screen, 1022)["text"];
  Keys("Right Right");  // the last stays
  screen = WindowWhen("Content");
  const std::string third = ControlOf(screen, 1022)["text"];
  Keys("Left Left Left");
  screen = WindowWhen("Content");
  EXPECT_EQ(ControlOf(screen, 1022)["text"], first);
  EXPECT_EQ(std::set<std::string>({first, second, third}), (std::set<std::string>{"one", "two", "three"}));

  // Edit, type, Cancel: the stored text comes back.
  Keys("Soft2 Down Down Down Action Down");
  Type(" changed");
  Keys("Soft2 Up Action");  // Cancel
  screen = WindowWhen("Content");
  EXPECT_EQ(ControlOf(screen, 1022)["text"], first);
  EXPECT_EQ(screen["softKeys"]["left"]["label"], "Reply");

  Keys("Soft2 Down Down Action");  // Dial
  std::optional<std::string> calls = Phonesim("--json calls");
  ASSERT_TRUE(calls);
  nlohmann::json dialled = nlohmann::json::parse(*calls)["calls"];
  ASSERT_EQ(dialled.size(), 1u);
  EXPECT_EQ(dialled[0]["number"], "5550177");

  Keys("Soft2 Up Up Action Action");  // Other, Set as Blacklist
  WindowWhen("Content");
  Keys("Back");
  WindowWhen("Brevalo");
  testing::Delivery dropped = Deliver(u"5550177", u"from the black list");
  ASSERT_TRUE(dropped.outcome) << dropped.error;
  EXPECT_TRUE(dropped.Deleted()) << "a listed sender's message leaves the phone";
  Deliver(u"5550188", u"from someone else");
  EndProgram();
  std::optional<testing::TextCounts> texts = DocumentTexts();
  ASSERT_TRUE(texts);
  EXPECT_EQ(texts->count(u"from the black list"), 0u);
  EXPECT_EQ(texts->count(u"from someone else"), 1u);
}

}  // namespace
}  // namespace brevalo
