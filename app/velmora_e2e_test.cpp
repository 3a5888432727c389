// The program as a person meets it: velmora started on a throw-away device (offscreen), worked
// and watched through phonesim's screen commands.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <filesystem>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "channel/unread_counter.h"
#include "device/event_log.h"
#include "device/kernel_test_support.h"
#include "device/registry.h"
#include "app/velmora_test_fixture.h"
#include "tests/support/shell_command.h"

namespace brevalo {
namespace {

using Clock = std::chrono::steady_clock;
using testing::Program;
using testing::TreeRows;
using testing::TreeSelection;
using testing::VelmoraTest;

TEST_F(VelmoraTest, ASecondStartBringsTheRunningWindowToTheFrontAndEnds) {
  Program first(device());
  ScreenWhen(MainWindowInFront);

  ASSERT_TRUE(Phonesim("key Home"));  // the home screen over the shown program
  ScreenWhen(HomeInFront);
  Program second(device());
  EXPECT_EQ(second.Wait(), 0);
  ScreenWhen(MainWindowInFront);

  ASSERT_TRUE(Phonesim("key Back"));  // the program hides itself
  ScreenWhen(HomeInFront);
  Program third(device());
  EXPECT_EQ(third.Wait(), 0);
  ScreenWhen(MainWindowInFront);
  EXPECT_TRUE(first.Running());
}

TEST_F(VelmoraTest, AutoHideStartsHiddenAndTheTrayIconShowsTheWindow) {
  SetSetting(u"AutoHide", 1);
  Program program(device());
  nlohmann::json screen = ScreenWhen([](const nlohmann::json& s) { return HomeInFront(s) && !s["tray"].empty(); });
  ASSERT_EQ(screen["tray"].size(), 1u);
  EXPECT_EQ(screen["tray"][0]["id"], 100);
  EXPECT_EQ(screen["tray"][0]["icon"], 129);
  EXPECT_EQ(screen["unread"], 0) << "the home-screen plug-in shows the published count";
  ASSERT_TRUE(Phonesim("key Right Action"));
  ScreenWhen(MainWindowInFront);
}

TEST_F(VelmoraTest, ExitEndsTheProgramAndSavesTheSettings) {
  Program program(device());
  ScreenWhen(MainWindowInFront);
  EXPECT_FALSE(StoredSetting(u"SmsSource")) << "nothing saved before the end";
  ASSERT_TRUE(Phonesim("key Soft1 Up"));
  nlohmann::json screen = ScreenWhen([](const nlohmann::json& s) { return !s["menu"].is_null(); });
  EXPECT_EQ(screen["menu"].dump().find("Exit") != std::string::npos, true);
  Phonesim("key Action");  // the program may end before it answers
  EXPECT_EQ(program.Wait(), 0);
  EXPECT_EQ(StoredSetting(u"SmsSource"), 0u);
  EXPECT_EQ(StoredSetting(u"ShowTrayIcon"), 1u);
  EXPECT_GE(PluginNotifications(), 1u) << "closing wrote the count 0 and told the plug-in";
  EXPECT_FALSE(UnreadCounter::Peek(device()));
  EXPECT_FALSE(Screen()) << "no screen is left";
}

TEST_F(VelmoraTest, TheSystemEndingTheProgramClosesItAsExitDoes) {
  Program program(device());
  ScreenWhen(MainWindowInFront);
  ASSERT_EQ(kill(program.pid(), SIGTERM), 0);
  EXPECT_EQ(program.Wait(), 0);
  EXPECT_EQ(StoredSetting(u"SmsSource"), 0u);
  // And the device takes a new start afterwards.
  Program again(device());
  ScreenWhen(MainWindowInFront);
}

TEST_F(VelmoraTest, TheTreeOfTheLastDocumentIsDrivenByKeysAndDeleteSaveReachTheFile) {
  const std::string file = "'\\My Documents\\sms.kvt'";
  std::filesystem::create_directories(device().FsRoot() / "My Documents");
  ASSERT_TRUE(Kvt("new " + file + " --recycle-bin --standard-folders"));
  ASSERT_TRUE(Kvt("add " + file + " --folder '\\Inbox' --from 5550100 --text 'Lunch at noon?'"));
  Registry registry(device().RegistryFile());
  ASSERT_TRUE(registry.Load());
  ASSERT_TRUE(registry.SetString(RegRoot::CurrentUser, u"Software\\Velmora", u"LastOpenFile",
                                 u"\\My Documents\\sms.kvt"));
  SetSetting(u"DeleteAlert", 0);

  Program program(device());
  nlohmann::json screen = ScreenWhen([](const nlohmann::json& s) { return !TreeRows(s).empty(); });
  std::vector<std::string> rows = TreeRows(screen);
  ASSERT_EQ(rows.size(), 4u) << screen.dump();
  EXPECT_EQ(rows[0], "Inbox*") << "the unread message makes its folder bold";
  EXPECT_EQ(rows.back(), "Recycle Bin");
  EXPECT_EQ(TreeSelection(screen), "Inbox");
  EXPECT_EQ(UnreadCounter::Peek(device()), 1u);

  ASSERT_TRUE(Phonesim("key Right Down"));
  screen = ScreenWhen([](const nlohmann::json& s) { return TreeSelection(s) != "Inbox"; });
  std::string message = TreeSelection(screen);
  EXPECT_EQ(message.rfind("5550100 ", 0), 0u) << message;
  EXPECT_EQ(TreeRows(screen)[1], "  " + message + "*");

  // Held, Action opens the node's menu: View, then Delete.
  ASSERT_TRUE(Phonesim("key --hold Action"));
  screen = ScreenWhen([](const nlohmann::json& s) { return !s["menu"].is_null(); });
  EXPECT_EQ(screen["menu"]["title"], "TreeNode");
  ASSERT_TRUE(Phonesim("key Down Action"));
  screen = ScreenWhen([](const nlohmann::json& s) {
    return s["menu"].is_null() && TreeRows(s).size() == 4 && TreeRows(s)[1] == "Sent Box";
  });
  EXPECT_EQ(TreeRows(screen)[0], "Inbox") << "nothing unread is left in the Inbox";
  // A held Action opens the menu only, not the message: it goes into the bin unread.
  EXPECT_EQ(TreeRows(screen)[3], "Recycle Bin*") << "the bin holds the unread message, collapsed";

  ASSERT_TRUE(Phonesim("key Soft1 Down Down Action"));  // System, Save
  std::optional<std::string> tree;
  auto deadline = Clock::now() + std::chrono::seconds(10);
  nlohmann::json nodes;
  while (Clock::now() < deadline) {
    tree = Kvt("--json tree " + file);
    if (tree) nodes = nlohmann::json::parse(*tree, nullptr, false)["nodes"];
    if (nodes.is_array() && nodes.size() == 5 && nodes[4]["depth"] == 1) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  ASSERT_EQ(nodes.size(), 5u) << (tree ? *tree : "no tree");
  EXPECT_EQ(nodes[3]["label"], "Recycle Bin");
  EXPECT_EQ(nodes[3]["image"], 5);
  EXPECT_EQ(nodes[4]["label"], message);
  EXPECT_EQ(nodes[4]["image"], 3) << "never opened, so still unread";
}

TEST_F(VelmoraTest, ExitKeepsTheOpenDocumentAsTheLastFileAndCloseForgetsIt) {
  const std::string file = "'\\My Documents\\sms.kvt'";
  std::filesystem::create_directories(device().FsRoot() / "My Documents");
  ASSERT_TRUE(Kvt("new " + file + " --recycle-bin --standard-folders"));
  auto lastFile = [&]() {
    Registry registry(device().RegistryFile());
    EXPECT_TRUE(registry.Load());
    return registry.QueryString(RegRoot::CurrentUser, u"Software\\Velmora", u"LastOpenFile");
  };
  {
    Registry registry(device().RegistryFile());
    ASSERT_TRUE(registry.Load());
    ASSERT_TRUE(registry.SetString(RegRoot::CurrentUser, u"Software\\Velmora", u"LastOpenFile",
                                   u"\\My Documents\\sms.kvt"));
  }
  {
    Program program(device());
    ScreenWhen([](const nlohmann::json& s) { return !TreeRows(s).empty(); });
    ASSERT_TRUE(Phonesim("key Soft1 Up"));  // System, Exit
    ScreenWhen([](const nlohmann::json& s) { return !s["menu"].is_null(); });
    Phonesim("key Action");  // the program may end before it answers
    EXPECT_EQ(program.Wait(), 0);
    EXPECT_EQ(lastFile(), u"\\My Documents\\sms.kvt");
  }
  Program program(device());
  ScreenWhen([](const nlohmann::json& s) { return !TreeRows(s).empty(); });
  ASSERT_TRUE(Phonesim("key Soft1 Down Down Down Action"));  // System, Close
  ScreenWhen([](const nlohmann::json& s) { return s["menu"].is_null() && TreeRows(s).empty(); });
  EXPECT_EQ(lastFile(), u"") << "Close forgets the file at once";
}

}  // namespace
}  // namespace brevalo
