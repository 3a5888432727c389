// Passwords as a person meets them on the phone: the document password of a program that
// started hidden, a folder password set with the keys and asked at every opening, and what kvt
// shows of the same document meanwhile.
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "app/velmora_test_fixture.h"
#include "device/registry.h"

namespace brevalo {
namespace {

using testing::Program;
using testing::TreeRows;
using testing::VelmoraTest;

const std::string kFile = "'\\My Documents\\sms.kvt'";

class ProtectionTest : public VelmoraTest {
 protected:
  void MakeLastDocument(const std::string& newOptions) {
    std::filesystem::create_directories(device().FsRoot() / "My Documents");
    ASSERT_TRUE(Kvt(newOptions + " new " + kFile + " --recycle-bin --standard-folders"));
    Registry registry(device().RegistryFile());
    ASSERT_TRUE(registry.Load());
    ASSERT_TRUE(registry.SetString(RegRoot::CurrentUser, u"Software\\Velmora", u"LastOpenFile",
                                   u"\\My Documents\\sms.kvt"));
  }
  static bool PasswordInFront(const nlohmann::json& screen) {
    return screen["home"] == false && screen["title"] == "Password" && screen["messageBox"].is_null();
  }
  static bool TreeShows(const nlohmann::json& screen, size_t rows) {
    return MainWindowInFront(screen) && TreeRows(screen).size() == rows;
  }
  static nlohmann::json ControlOf(const nlohmann::json& screen, int id) {
    for (const nlohmann::json& control : screen["controls"]) {
      if (control["id"] == id) return control;
    }
    return nlohmann::json();
  }
  void Type(const std::string& text) { ASSERT_TRUE(Phonesim("type '" + text + "'")) << text; }
};

TEST_F(ProtectionTest, AHiddenStartAsksTheDocumentPasswordAtTheFirstShowAndNeverTwiceAtOnce) {
  MakeLastDocument("--password doc");
  SetSetting(u"AutoHide", 1);
  SetSetting(u"StartScreenSaveMin", 0);  // only the question the start put off is asked
  Program program(device());
  ScreenWhen([](const nlohmann::json& s) { return HomeInFront(s) && !s["tray"].empty(); });

  Keys("Right Action");  // a tap on the program's tray icon
  nlohmann::json screen = ScreenWhen(PasswordInFront);
  EXPECT_EQ(ControlOf(screen, 1043)["text"], "Input Password:");
  EXPECT_EQ(ControlOf(screen, 1041)["visible"], false) << "ask mode: no new password";
  Keys("Soft2");  // Cancel hides the program again
  ScreenWhen(HomeInFront);

  // A second start shows the running program, which asks again.
  Program second(device());
  EXPECT_EQ(second.Wait(), 0);
  ScreenWhen(PasswordInFront);
  // The home screen over it, and a tap on the tray icon: no second dialog.
  Keys("Home");
  ScreenWhen(HomeInFront);
  Keys("Right Action");
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  Keys("Home");
  ScreenWhen(PasswordInFront);
  Type("doc");
  Keys("Action");
  screen = ScreenWhen([](const nlohmann::json& s) { return MainWindowInFront(s) && !TreeRows(s).empty(); });
  EXPECT_EQ(TreeRows(screen)[0], "Inbox");
  EXPECT_TRUE(program.Running());
}

TEST_F(ProtectionTest, AFolderPasswordSetWithTheKeysIsAskedAtEveryOpeningUnderInputEveryTime) {
  MakeLastDocument("");
  ASSERT_TRUE(Kvt("add " + kFile + " --folder '\\Inbox' --from 5550100 --text 'Lunch at noon?'"));
  SetSetting(u"ProtectLevel", 2);
  Program program(device());
  ScreenWhen([](const nlohmann::json& s) { return TreeShows(s, 4); });  // Inbox selected

  Keys("Soft2 Up Up Up Action");  // Menu, Password...
  nlohmann::json screen = ScreenWhen(PasswordInFront);
  EXPECT_EQ(ControlOf(screen, 1040)["visible"], false) << "no old password yet";
  Type("abcdefghijkl");  // eleven are taken while typing, ten kept
  screen = ScreenWhen([](const nlohmann::json& s) { return !ControlOf(s, 1041)["text"].get<std::string>().empty(); });
  EXPECT_NE(ControlOf(screen, 1041)["text"], "abcdefghijk") << "the screen shows only the mask";
  Keys("Down");
  Type("abcdefghijk");
  Keys("Soft1");
  ScreenWhen([](const nlohmann::json& s) { return TreeShows(s, 4); });

  // kvt, meanwhile, shows nothing inside the protected Inbox.
  std::optional<std::string> tree = Kvt("--json tree " + kFile);
  ASSERT_TRUE(tree);
  nlohmann::json nodes = nlohmann::json::parse(*tree)["nodes"];
  ASSERT_EQ(nodes[0]["label"], "Inbox");
  EXPECT_EQ(nodes[0]["hidden"], 1);
  EXPECT_FALSE(Kvt("show " + kFile + " 1"));
  std::optional<std::string> shown = Kvt("--node-password abcdefghij --json show " + kFile + " 1");
  ASSERT_TRUE(shown);
  EXPECT_EQ(nlohmann::json::parse(*shown)["text"], "Lunch at noon?");

  Keys("Right");  // even just set, Input Every Time asks
  ScreenWhen(PasswordInFront);
  Type("abcdefghijk");  // the same eleven characters
  Keys("Action");
  ScreenWhen([](const nlohmann::json& s) { return TreeShows(s, 5); });
  Keys("Left Right");
  ScreenWhen(PasswordInFront);
  Keys("Soft2");
  ScreenWhen([](const nlohmann::json& s) { return TreeShows(s, 4); });

  // The old password and no new one: the password is gone, and nothing asks any more.
  Keys("Soft2 Up Up Up Action");
  screen = ScreenWhen(PasswordInFront);
  EXPECT_EQ(ControlOf(screen, 1040)["visible"], true);
  Type("abcdefghij");
  Keys("Soft1");
  ScreenWhen([](const nlohmann::json& s) { return TreeShows(s, 4); });
  Keys("Right");
  ScreenWhen([](const nlohmann::json& s) { return TreeShows(s, 5); });
  EXPECT_TRUE(Kvt("show " + kFile + " 1"));
}

class ProtectLevelE2eTest : public ProtectionTest, public ::testing::WithParamInterface<int> {};

// A password set with the keys; Right then opens the folder, and a hide and a show come between.
TEST_P(ProtectLevelE2eTest, AnUnlockHoldsAsLongAsTheLevelSays) {
  const int level = GetParam();
  MakeLastDocument("");
  ASSERT_TRUE(Kvt("add " + kFile + " --folder '\\Inbox' --from 5550100 --text 'Lunch at noon?'"));
  SetSetting(u"ProtectLevel", static_cast<uint32_t>(level));
  SetSetting(u"StartScreenSaveMin", 0);
  Program program(device());
  ScreenWhen([](const nlohmann::json& s) { return TreeShows(s, 4); });
  Keys("Soft2 Up Up Up Action");  // Menu, Password...
  ScreenWhen(PasswordInFront);
  Type("pw");
  Keys("Down");
  Type("pw");
  Keys("Soft1");
  ScreenWhen([](const nlohmann::json& s) { return TreeShows(s, 4); });

  // Set since the document was opened: Only Once lets it open at once, the others ask.
  Keys("Right");
  if (level != 0) {
    ScreenWhen(PasswordInFront);
    Type("pw");
    Keys("Action");
  }
  ScreenWhen([](const nlohmann::json& s) { return TreeShows(s, 5); });

  Keys("Back");  // on the top level: the program hides
  ScreenWhen(HomeInFront);
  Keys("Right Action");  // and the tray icon shows it again
  nlohmann::json screen = ScreenWhen(MainWindowInFront);
  if (level == 0) {
    EXPECT_EQ(TreeRows(screen).size(), 5u) << "still open: nothing asks until the document is opened again";
    return;
  }
  EXPECT_EQ(TreeRows(screen).size(), 4u) << "hiding closed the unlocked folder";
  Keys("Right");
  ScreenWhen(PasswordInFront);
  Type("pw");
  Keys("Action");
  ScreenWhen([](const nlohmann::json& s) { return TreeShows(s, 5); });
}

INSTANTIATE_TEST_SUITE_P(Levels, ProtectLevelE2eTest, ::testing::Values(0, 1));

}  // namespace
}  // namespace brevalo
