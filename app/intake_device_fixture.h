// The device of the receiving tests that push the program to its edges (crashes, a full or
// vanished document, long texts): the messaging service running with the rule client
// registered, rules that file every stranger's message into "\Inbox" and take it out of the
// phone's inbox, and ways to read back where each message ended up: the phone's inbox, through
// phonesim as a person would, and the document, through the store as any reader opens it.
#pragma once

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/velmora_test_fixture.h"
#include "channel/channel_buffer.h"
#include "channel/channel_objects.h"
#include "device/code_page.h"
#include "device/device_properties.h"
#include "device/registry.h"
#include "device/service_endpoint.h"
#include "filter/filter_engine.h"
#include "settings/program_folder.h"
#include "store/document_filing.h"
#include "store/folder_tree.h"
#include "store/index_offset_memory.h"
#include "store/message_store.h"
#include "store/store_file.h"

namespace brevalo::testing {

inline constexpr std::u16string_view kIntakeDocument = u"\\My Documents\\sms.kvt";
inline constexpr char kIntakeDocumentArgument[] = "'\\My Documents\\sms.kvt'";

// What the service said of one message: nothing when the call itself failed.
struct Delivery {
  std::optional<SmsOutcome> outcome;
  std::string error;
  bool Deleted() const { return outcome && outcome->deleted; }
  bool Kept() const { return outcome && !outcome->deleted; }
};

// How often each text occurs in one place.
using TextCounts = std::map<std::u16string, int>;

class IntakeDeviceTest : public VelmoraTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Phonesim("init"));
    ASSERT_TRUE(Phonesim("install"));
    ASSERT_TRUE(Phonesim("register-corvane"));
    StartService();
    ASSERT_TRUE(ServiceRunning(device()));
    // Titles are the start of the body, so that a title alone tells which message a node is.
    SetSetting(u"ReceiveTitle", 0);
  }
  void TearDown() override {
    program_.reset();
    StopService();
  }

  void StartService() {
    service_ = std::make_unique<ChildProcess>(
        "phonesim", std::vector<std::string>{"--device", device().Dir().string(), "serve"});
    for (int i = 0; i < 500 && !ServiceRunning(device()); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }
  // The service's exit code; 0 when it stopped as asked.
  int StopService() {
    if (!service_) return 0;
    int code = service_->Terminate(10000);
    service_.reset();
    return code;
  }

  std::filesystem::path DocumentsFolder() { return device().FsRoot() / "My Documents"; }
  std::filesystem::path DocumentFile() { return *device().HostPath(kIntakeDocument); }
  std::filesystem::path JournalFile() { return DocumentFile().string() + ".jnl"; }

  // An empty document made by kvt, opened by the program at its start.
  void MakeDocument() {
    std::filesystem::create_directories(DocumentsFolder());
    ASSERT_TRUE(Kvt(std::string("new ") + kIntakeDocumentArgument));
    OpenAtStart();
  }
  void OpenAtStart() {
    Registry registry(device().RegistryFile());
    ASSERT_TRUE(registry.Load());
    ASSERT_TRUE(registry.SetString(RegRoot::CurrentUser, u"Software\\Velmora", u"LastOpenFile",
                                   kIntakeDocument));
  }
  // Every stranger's message is filed into "\Inbox" with Don't Show in Inbox, and nothing else
  // (no pop-up, sound or reminder) happens, so the tests watch the filing alone.
  void FileStrangersAndHideThem() {
    std::optional<std::filesystem::path> path =
        device().HostPath(ProgramFolder() + std::u16string(RulesFileName));
    ASSERT_TRUE(path);
    std::filesystem::remove(*path);
    FilterEngine rules(*path);
    rules.LoadRules();
    rules.StrangerDefault().ClearRules();
    rules.StrangerDefault().SetAction(ACTION_SAVE_TO_FOLDER, u"\\Inbox");
    rules.StrangerDefault().SetAction(ACTION_HIDE_IN_INBOX);
    ASSERT_TRUE(rules.SaveRules());
  }
  // A new document, open at the start, that files every stranger's message out of the phone's
  // inbox; velmora started on it and receiving.
  void StartReceivingIntoANewDocument() {
    MakeDocument();
    FileStrangersAndHideThem();
    StartProgram();
  }

  // velmora started, once its window shows and its intake runs.
  void StartProgram() {
    program_ = std::make_unique<Program>(device());
    ScreenWhen(MainWindowInFront);
    for (int i = 0; i < 1000 && !ProgramReceiving(); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_TRUE(ProgramReceiving());
  }
  // The channel's running flag, as the rule client reads it before handing a message over.
  bool ProgramReceiving() {
    std::unique_ptr<ChannelObjects> channel = ChannelObjects::Open(device());
    return channel && LoadRunning(channel->Buffer()) == 1;
  }
  // Ends the program as the system does; it closes (and so saves) its document.
  void EndProgram(int timeoutMs = 30000) {
    ASSERT_TRUE(program_);
    EXPECT_EQ(program_->Terminate(timeoutMs), 0);
    program_.reset();
  }

  // One SMS as `phonesim sms-in` delivers it.
  Delivery Deliver(std::u16string_view from, std::u16string_view text) {
    Delivery delivery;
    delivery.outcome = DeliverSms(device(), from, text, std::nullopt, &delivery.error);
    return delivery;
  }

  // The texts of the phone's inbox, as `phonesim store list` shows them.
  TextCounts PhoneInbox() {
    TextCounts texts;
    std::optional<std::string> out = Phonesim("--json store list --folder inbox");
    EXPECT_TRUE(out) << "phonesim could not list the phone's inbox";
    if (!out) return texts;
    nlohmann::json listed = nlohmann::json::parse(*out, nullptr, false);
    for (const nlohmann::json& message : listed["messages"]) {
      ++texts[FromUtf8(message["text"].get<std::string>())];
    }
    return texts;
  }

  // The texts of every message in the document at `path`, as a reader that opens it now finds
  // them (pending journal entries applied). Nothing when it does not open; a message whose text
  // cannot be read counts under "<unreadable>".
  std::optional<TextCounts> DocumentTexts(std::u16string_view path = kIntakeDocument) {
    PosixStoreFileSystem files(PosixStoreFileSystem::DevicePaths(device()));
    InMemoryIndexOffsetMemory offsets;
    Registry registry(device().RegistryFile());
    registry.Load();
    CodePage page = DeviceCodePage(registry);
    MessageStore store(files, offsets, page);
    FolderTree tree;
    if (!store.Open(path) || !store.LoadIndex(tree)) return std::nullopt;
    TextCounts texts;
    tree.Walk([&](const TreeNode& node, int) {
      if (node.Image() != kImageRead && node.Image() != kImageUnread) return;
      std::optional<std::u16string> text;
      if (store.ReadRecord(node.Data().offset)) text = store.ReadBodyText();
      ++texts[text.value_or(u"<unreadable>")];
    });
    store.Close();
    return texts;
  }

  // What kvt check says of the document: exit code 0 when it read every record and text.
  ShellResult CheckDocument() {
    return RunToolLine("kvt", device().Dir().string(),
                       std::string("--json check ") + kIntakeDocumentArgument);
  }

  // The open message box, once one shows within ten seconds; null otherwise.
  nlohmann::json MessageBoxWithin() { return MessageBoxWithinMs(10000); }
  nlohmann::json MessageBoxWithinMs(int timeoutMs) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
      std::optional<nlohmann::json> screen = Screen();
      if (screen && !screen->is_discarded() && !(*screen)["messageBox"].is_null()) {
        return (*screen)["messageBox"];
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return nullptr;
  }
  // The main window's status line.
  std::string StatusLine() {
    std::optional<nlohmann::json> screen = Screen();
    if (!screen || screen->is_discarded()) return "";
    for (const nlohmann::json& control : (*screen)["controls"]) {
      if (control["id"] == 1024) return control["text"];
    }
    return "";
  }

  std::unique_ptr<ChildProcess> service_;
  std::unique_ptr<Program> program_;
};

inline constexpr char kSaveFailureText[] =
    "A message could not be saved in the document, so it stays in the phone's inbox. Check that "
    "the document file still exists and that there is free space.";
inline constexpr char kSaveFailureStatus[] =
    "Saving failed: kept on phone";

}  // namespace brevalo::testing
