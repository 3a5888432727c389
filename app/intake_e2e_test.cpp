// The road of an incoming SMS as a person watches it: the phone's messaging service with the
// rule client registered, velmora running offscreen with a document open, `phonesim sms-in`,
// and then the document on disk, the phone's inbox and outbox, the event log and the screen.
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "app/velmora_test_fixture.h"
#include "channel/channel_objects.h"
#include "channel/unread_counter.h"
#include "device/service_endpoint.h"
#include "filter/filter_engine.h"
#include "settings/program_folder.h"

namespace brevalo {
namespace {

using Clock = std::chrono::steady_clock;
using testing::ChildProcess;
using testing::Program;

constexpr char kDocument[] = "'\\My Documents\\sms.kvt'";

class IntakeTest : public testing::VelmoraTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Phonesim("init"));
    ASSERT_TRUE(Phonesim("install"));
    ASSERT_TRUE(Phonesim("register-corvane"));
    service_ = std::make_unique<ChildProcess>("phonesim", std::vector<std::string>{"--device", device().Dir().string(), "serve"});
    for (int i = 0; i < 500 && !ServiceRunning(device()); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_TRUE(ServiceRunning(device()));
    // Titles are the start of the body, so that the tests read them back as they sent them.
    SetSetting(u"ReceiveTitle", 0);
  }
  void TearDown() override {
    program_.reset();
    if (service_) service_->Terminate();
  }

  // A document made by kvt, opened by the program at its start.
  void MakeDocument(bool withRecycleBin) {
    std::filesystem::create_directories(device().FsRoot() / "My Documents");
    ASSERT_TRUE(Kvt(std::string("new ") + kDocument + (withRecycleBin ? " --recycle-bin" : "")));
    Registry registry(device().RegistryFile());
    ASSERT_TRUE(registry.Load());
    ASSERT_TRUE(registry.SetString(RegRoot::CurrentUser, u"Software\\Velmora", u"LastOpenFile",
                                   u"\\My Documents\\sms.kvt"));
  }
  // The rules file as `edit` leaves the rules that a missing file starts with.
  void WriteRules(const std::function<void(FilterEngine&)>& edit) {
    std::optional<std::filesystem::path> path = device().HostPath(ProgramFolder() + std::u16string(RulesFileName));
    ASSERT_TRUE(path);
    std::filesystem::remove(*path);
    FilterEngine rules(*path);
    rules.LoadRules();
    edit(rules);
    ASSERT_TRUE(rules.SaveRules());
  }
  // velmora started, once its window shows the document (or, without one, itself).
  void StartProgram() {
    program_ = std::make_unique<Program>(device());
    ScreenWhen(MainWindowInFront);
    for (int i = 0; i < 500 && !ProgramReceiving(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_TRUE(ProgramReceiving());
  }
  // The channel's running flag, as the rule client reads it before handing a message over.
  bool ProgramReceiving() {
    std::unique_ptr<ChannelObjects> channel = ChannelObjects::Open(device());
    return channel && LoadRunning(channel->Buffer()) == 1;
  }
  // Ends the program as the system does; it closes its document, which saves it.
  void EndProgram() {
    ASSERT_TRUE(program_);
    EXPECT_EQ(program_->Terminate(), 0);
    program_.reset();
  }
  // "deleted" when the program asked for the message to leave the phone's inbox, else "kept".
  std::string SmsIn(const std::string& from, const std::string& text) {
    std::optional<std::string> out = Phonesim("--json sms-in --from '" + from + "' --text '" + text + "'");
    if (!out) return "failed";
    return nlohmann::json::parse(*out, nullptr, false).value("outcome", "unreadable");
  }
  nlohmann::json Listed(const std::string& arguments, const char* field) {
    std::optional<std::string> out = Phonesim("--json " + arguments);
    if (!out) return nlohmann::json::array();
    return nlohmann::json::parse(*out, nullptr, false)[field];
  }
  std::vector<std::string> PhoneInboxTexts() {
    std::vector<std::string> texts;
    for (const nlohmann::json& message : Listed("store list --folder inbox", "messages")) texts.push_back(message["text"]);
    return texts;
  }
  // The saved tree, one line per node: indentation, label, "*" for an unread message.
  std::vector<std::string> SavedTree() { return KvtTreeLines(kDocument, true); }
  // The saved tree once `expected`, within `seconds`; the last one read otherwise.
  std::vector<std::string> SavedTreeWithin(double seconds, const std::vector<std::string>& expected) {
    auto deadline = Clock::now() + std::chrono::milliseconds(static_cast<int>(seconds * 1000));
    std::vector<std::string> tree = SavedTree();
    while (tree != expected && Clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      tree = SavedTree();
    }
    return tree;
  }
  nlohmann::json Info() {
    std::optional<std::string> out = Kvt(std::string("--json info ") + kDocument);
    return out ? nlohmann::json::parse(*out, nullptr, false) : nlohmann::json::object();
  }
  std::vector<std::string> EventKinds(const std::vector<std::string>& wanted) {
    std::vector<std::string> kinds;
    for (const nlohmann::json& event : EventLog(device()).Read()) {
      std::string kind = event["kind"];
      for (const std::string& one : wanted) {
        if (kind == one) kinds.push_back(kind == "sound" ? "sound " + event["reason"].get<std::string>() : kind);
      }
    }
    return kinds;
  }

  std::unique_ptr<ChildProcess> service_;
  std::unique_ptr<Program> program_;
};

TEST_F(IntakeTest, WithoutTheProgramRunningTheMessageStaysInThePhonesInbox) {
  MakeDocument(false);
  EXPECT_EQ(SmsIn("5550100", "nobody home"), "kept");
  EXPECT_EQ(PhoneInboxTexts(), std::vector<std::string>({"nobody home"}));
  EXPECT_EQ(SavedTree(), std::vector<std::string>());
}

TEST_F(IntakeTest, StrangersGoToAnInboxMadeOnFirstUseNewestFirst) {
  MakeDocument(true);
  WriteRules([](FilterEngine&) {});  // the stranger default files into "\Inbox" and reminds
  StartProgram();

  EXPECT_EQ(SmsIn("5550100", "one"), "kept");
  // Two arriving together: the service takes them one after the other, and so does the program.
  std::string phonesim = testing::ShellQuote(std::string(BREVALO_BIN_DIR) + "/phonesim") + " --device " +
                         testing::ShellQuote(device().Dir().string());
  ASSERT_EQ(testing::RunShell(phonesim + " sms-in --from 5550101 --text two & " + phonesim +
                              " sms-in --from 5550102 --text three; wait").code, 0);
  std::vector<std::string> inbox = PhoneInboxTexts();
  ASSERT_EQ(inbox.size(), 3u) << "nothing asked for the messages to leave the phone's inbox";

  ScreenWhen([](const nlohmann::json& s) {
    return testing::TreeRows(s) == std::vector<std::string>({"Inbox*", "Recycle Bin"});
  });
  EXPECT_EQ(UnreadCounter::Peek(device()), 3u) << "the home-screen plug-in shows the three";
  EndProgram();
  EXPECT_EQ(SavedTree(), std::vector<std::string>({"Inbox", "  " + inbox[2] + "*", "  " + inbox[1] + "*",
                                                   "  one*", "Recycle Bin"}))
      << "one folder, made first and then reused, with the newest message at the top";
}

TEST_F(IntakeTest, AFilterForTheBossFilesIntoWorkBossAndContactsKeepTheirDefault) {
  MakeDocument(false);
  WriteRules([](FilterEngine& rules) {
    auto boss = std::make_unique<Filter>();
    boss->name = u"Boss";
    boss->conditions[0] = FilterCondition{OBJECT_PHONE_NUMBER, JUDGE_EQUAL, u"5550142"};
    boss->SetAction(ACTION_SAVE_TO_FOLDER, u"\\Work\\Boss");
    ASSERT_TRUE(rules.AddFilter(std::move(boss)));
    rules.ContactDefault().ClearRules();
    rules.ContactDefault().SetAction(ACTION_SAVE_TO_FOLDER, u"\\Friends");
    rules.ContactDefault().SetAction(ACTION_POPUP);
  });
  StartProgram();

  EXPECT_EQ(SmsIn("+15550142", "report"), "kept");
  EXPECT_EQ(SmsIn("\"Ann Lee\"<5550102>", "dinner?"), "kept");
  // A contact's pop-up shows the photo that `phonesim install` put into the photo folder.
  nlohmann::json screen = ScreenWhen([](const nlohmann::json& s) {
    return !s["popup"].is_null() && s["popup"]["photo"] != "";
  });
  EXPECT_EQ(screen["popup"]["text"], "dinner?");
  EXPECT_EQ(screen["popup"]["sender"], "AnnLee");
  EXPECT_EQ(screen["popup"]["photo"], "\\Program Files\\Velmora\\photo\\AnnLee.bmp");
  EXPECT_EQ(SmsIn("5550199", "who?"), "kept");

  EndProgram();
  EXPECT_EQ(SavedTree(), std::vector<std::string>({"Inbox", "  who?*", "Friends", "  dinner?*", "Work", "  Boss",
                                                   "    report*"}));
  EXPECT_EQ(PhoneInboxTexts().size(), 3u);
}

TEST_F(IntakeTest, OnlyDontShowInInboxTakesTheMessageAwayAndKeepsNoCopy) {
  MakeDocument(true);
  WriteRules([](FilterEngine& rules) {
    auto hide = std::make_unique<Filter>();
    hide->name = u"Hide";
    hide->applyToAll = 1;
    hide->SetAction(ACTION_HIDE_IN_INBOX);
    ASSERT_TRUE(rules.AddFilter(std::move(hide)));
  });
  StartProgram();

  EXPECT_EQ(SmsIn("5550100", "gone"), "deleted");
  EXPECT_EQ(PhoneInboxTexts(), std::vector<std::string>());
  EndProgram();
  EXPECT_EQ(SavedTree(), std::vector<std::string>({"Recycle Bin"}));
}

// The delete answer comes once the message is on disk: a reader finds it at once, from the
// journal beside the document, and no index was written for it. Closing folds it in.
TEST_F(IntakeTest, AMessageOnlyTheDocumentHoldsIsOnDiskBeforeTheAnswerWithoutANewIndex) {
  MakeDocument(false);
  WriteRules([](FilterEngine& rules) {
    rules.StrangerDefault().SetAction(ACTION_HIDE_IN_INBOX);
  });
  StartProgram();
  nlohmann::json before = Info();

  EXPECT_EQ(SmsIn("5550100", "first"), "deleted");
  EXPECT_EQ(SmsIn("5550101", "second"), "deleted");
  std::vector<std::string> expected = {"Inbox", "  second*", "  first*"};
  EXPECT_EQ(SavedTree(), expected);
  EXPECT_EQ(PhoneInboxTexts(), std::vector<std::string>());
  nlohmann::json pending = Info();
  EXPECT_EQ(pending["indexOffset"], before["indexOffset"]) << pending.dump();
  EXPECT_EQ(pending["deadBytes"], before["deadBytes"]) << "reading the journal writes nothing";
  EXPECT_EQ(pending["journalPending"], 3) << "the folder and both messages";

  EndProgram();
  EXPECT_EQ(SavedTree(), expected);
  nlohmann::json folded = Info();
  EXPECT_NE(folded["indexOffset"], before["indexOffset"]);
  EXPECT_EQ(folded["journalPending"], 0);
}

TEST_F(IntakeTest, ABlackListedSenderIsDeletedAndKeptOnlyInTheRecycleBinWhenAsked) {
  MakeDocument(true);
  WriteRules([](FilterEngine& rules) {
    ASSERT_TRUE(rules.AddBlackListEntry(u"Spam", u"5550666"));
    rules.StrangerDefault().SetAction(ACTION_POPUP);
    rules.StrangerDefault().SetAction(ACTION_VIBRATE);
  });
  StartProgram();
  EXPECT_EQ(SmsIn("5550666", "buy now"), "deleted");
  EndProgram();
  EXPECT_EQ(SavedTree(), std::vector<std::string>({"Recycle Bin"})) << "stored nowhere";

  SetSetting(u"BlackDeleteToRecycleBin", 1);
  StartProgram();
  EXPECT_EQ(SmsIn("+1 5550666", "buy more"), "deleted");
  std::vector<std::string> expected = {"Recycle Bin", "  buy more*"};
  EXPECT_EQ(SavedTreeWithin(2.0, expected), expected) << "on disk soon: the phone no longer has it";
  EXPECT_TRUE(Screen().value_or(nlohmann::json())["popup"].is_null()) << "no alert of any kind";
  EXPECT_EQ(EventKinds({"vibrate"}), std::vector<std::string>());
  EXPECT_EQ(PhoneInboxTexts(), std::vector<std::string>());
}

TEST_F(IntakeTest, TheMeetingProfileSilencesTheFilterSoundButNotTheVibration) {
  MakeDocument(false);
  WriteRules([](FilterEngine& rules) {
    rules.StrangerDefault().ClearRules();
    rules.StrangerDefault().SetAction(ACTION_SOUND, u"\\Windows\\ring.wav");
    rules.StrangerDefault().SetAction(ACTION_VIBRATE);
  });
  ASSERT_TRUE(Phonesim("profile Meeting"));
  StartProgram();
  EXPECT_EQ(SmsIn("5550100", "quiet"), "kept");
  EXPECT_EQ(EventKinds({"sound", "vibrate"}), std::vector<std::string>({"vibrate"}));

  ASSERT_TRUE(Phonesim("profile Normal"));
  EXPECT_EQ(SmsIn("5550100", "loud"), "kept");
  EXPECT_EQ(EventKinds({"sound", "vibrate"}), std::vector<std::string>({"vibrate", "sound filter", "vibrate"}));
  EndProgram();
  EXPECT_EQ(SavedTree(), std::vector<std::string>()) << "no Save to Folder: the phone's inbox keeps them";
}

// The reply is queued before the forward (the handler's own test holds the order); the send
// thread takes the records waiting for one pass newest first, so the outbox may list either.
TEST_F(IntakeTest, AutoReplyGoesToTheSendersNumberAndTheForwardCarriesOnlyTheText) {
  MakeDocument(false);
  WriteRules([](FilterEngine& rules) {
    // A sender with a quoted name is a contact.
    rules.ContactDefault().ClearRules();
    rules.ContactDefault().SetAction(ACTION_AUTO_FORWARD, u"5550300");
    rules.ContactDefault().SetAction(ACTION_AUTO_REPLY, u"Sorry! I'm busy now...");
  });
  StartProgram();
  EXPECT_EQ(SmsIn("\"Ann\"<5550102>", "call me"), "kept");

  nlohmann::json outbox;
  auto deadline = Clock::now() + std::chrono::seconds(10);
  while ((outbox = Listed("outbox", "messages")).size() < 2 && Clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  ASSERT_EQ(outbox.size(), 2u) << outbox.dump();
  std::vector<std::string> sent;
  for (const nlohmann::json& message : outbox) sent.push_back(message["to"].get<std::string>() + ": " + message["text"].get<std::string>());
  std::sort(sent.begin(), sent.end());
  EXPECT_EQ(sent, std::vector<std::string>({"5550102: Sorry! I'm busy now...", "5550300: call me"}));
}

// velmora is the document's one writer while it has it open: kvt may read it, not change it, so
// that neither overwrites what the other filed.
TEST_F(IntakeTest, KvtCannotChangeTheDocumentVelmoraHasOpen) {
  MakeDocument(false);
  WriteRules([](FilterEngine& rules) { rules.StrangerDefault().SetAction(ACTION_HIDE_IN_INBOX); });
  StartProgram();
  EXPECT_EQ(SmsIn("5550100", "velmora"), "deleted");
  testing::ShellResult add = testing::RunTool(
      "kvt", device().Dir().string(), {"add", "\\My Documents\\sms.kvt", "--folder", "\\Inbox", "--from", "1", "--text", "x"});
  EXPECT_EQ(add.code, 1);
  EXPECT_NE(add.err.find("open for writing in another program"), std::string::npos) << add.err;
  EXPECT_EQ(SavedTree(), std::vector<std::string>({"Inbox", "  velmora*"}));
  EndProgram();
  EXPECT_EQ(SavedTree(), std::vector<std::string>({"Inbox", "  velmora*"}));
}

}  // namespace
}  // namespace brevalo
