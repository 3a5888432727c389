// The demo window driven from the shell with phonesim, as a person with a phone would.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include <nlohmann/json.hpp>

#include "channel/unread_counter.h"
#include "device/window_directory.h"
#include "tests/support/phonesim_screen.h"
#include "tests/support/shell_command.h"

extern char** environ;

namespace brevalo {
namespace {
namespace fs = std::filesystem;

using Result = testing::ShellResult;

class PhoneScreenDemoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/screen-e2e-XXXXXX";
    dir_ = mkdtemp(pattern);
    std::string demo = std::string(BREVALO_BIN_DIR) + "/phone_screen_demo";
    std::string device = dir_.string();
    char* argv[] = {demo.data(), const_cast<char*>("--device"), device.data(), nullptr};
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ASSERT_EQ(posix_spawn(&demo_, demo.c_str(), nullptr, nullptr, argv, environ), 0);
    for (int i = 0; i < 200 && Phonesim("ui").code != 0; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ASSERT_EQ(Phonesim("ui").code, 0) << "the demo's screen did not come up";
  }
  void TearDown() override {
    if (demo_ > 0 && !exited_) {
      kill(demo_, SIGTERM);
      waitpid(demo_, nullptr, 0);
    }
    fs::remove_all(dir_);
  }

  // Both streams in `out`, as the user sees them on the terminal.
  Result Phonesim(const std::string& args) { return testing::RunPhonesim(dir_.string(), args); }
  nlohmann::json Ui() { return testing::ScreenJson(dir_.string()); }
  std::string ResultText() {
    nlohmann::json screen = Ui();
    for (const nlohmann::json& control : screen["controls"]) {
      if (control["id"] == 1011) return control["text"];
    }
    return "";
  }
  void Keys(const std::string& keys) { ASSERT_EQ(Phonesim("key " + keys).code, 0) << keys; }
  int WaitForExit() {
    for (int i = 0; i < 200; ++i) {
      int status = 0;
      if (waitpid(demo_, &status, WNOHANG) == demo_) {
        exited_ = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return -2;
  }

  fs::path dir_;
  pid_t demo_ = -1;
  bool exited_ = false;
};

TEST_F(PhoneScreenDemoTest, TheDumpListsEveryControlWithItsState) {
  nlohmann::json screen = Ui();
  EXPECT_EQ(screen["title"], "Demo");
  EXPECT_EQ(screen["softKeys"]["left"]["label"], "Dialog");
  EXPECT_EQ(screen["softKeys"]["right"]["popup"], true);
  EXPECT_EQ(screen["focus"], 1001);
  std::set<std::string> kinds;
  for (const nlohmann::json& control : screen["controls"]) kinds.insert(control["kind"]);
  EXPECT_EQ(kinds, (std::set<std::string>{"static", "edit", "multiline", "checkbox", "radio", "spin",
                                          "list", "tree", "button"}));
  Result outline = Phonesim("ui");
  EXPECT_NE(outline.out.find("> [edit 1001]"), std::string::npos) << outline.out;
  EXPECT_NE(outline.out.find("Soft keys: [Dialog] [Menu]"), std::string::npos) << outline.out;
}

TEST_F(PhoneScreenDemoTest, TypingMultiTapAndFocusMovement) {
  ASSERT_EQ(Phonesim("type 'Ann'").code, 0);
  Keys("4 4 Down 5 5 5");
  nlohmann::json screen = Ui();
  EXPECT_EQ(screen["controls"][1]["text"], "Annh");
  EXPECT_EQ(screen["controls"][3]["text"], "555");  // the number edit is in numbers mode
  EXPECT_EQ(screen["inputMode"], "123");
  Keys("Down Down Action Down Down Down Right Right");
  screen = Ui();
  EXPECT_EQ(screen["focus"], 1007);
  for (const nlohmann::json& control : screen["controls"]) {
    if (control["id"] == 1004) {
      EXPECT_EQ(control["checked"], true);
    } else if (control["id"] == 1007) {
      EXPECT_EQ(control["text"], "Outdoor");
    }
  }
}

TEST_F(PhoneScreenDemoTest, MenusMessageBoxesAndNestedDialogs) {
  Keys("Soft2 Down Down Down Down Right Down");
  nlohmann::json menu = Ui()["menu"];
  EXPECT_EQ(menu["title"], "Sort");
  EXPECT_EQ(menu["items"][1]["selected"], true);
  Keys("Action");
  EXPECT_EQ(ResultText(), "Result: sorted by name");

  Keys("Soft2 Action");
  nlohmann::json box = Ui()["messageBox"];
  EXPECT_EQ(box["caption"], "Alert");
  EXPECT_EQ(box["buttons"].size(), 2u);
  Keys("Soft2");
  EXPECT_EQ(ResultText(), "Result: message box 2");
  Keys("Soft2 2");
  EXPECT_EQ(Ui()["messageBox"]["caption"], "Error");
  Keys("Back");
  EXPECT_EQ(ResultText(), "Result: error box closed");

  Keys("Soft1");
  EXPECT_EQ(Ui()["title"], "Dialog");
  Keys("Soft2 Action");
  EXPECT_EQ(Ui()["title"], "Nested dialog 1");
  Keys("Soft1");
  nlohmann::json dialog = Ui();
  EXPECT_EQ(dialog["title"], "Dialog");
  EXPECT_EQ(dialog["controls"][1]["text"], "nested ended with 1");
  Keys("Soft1");
  EXPECT_EQ(ResultText(), "Result: dialog ended with 1");
}

TEST_F(PhoneScreenDemoTest, AScreenshotIsAPngOfTheScreen) {
  fs::path file = dir_ / "shot.png";
  ASSERT_EQ(Phonesim("screenshot '" + file.string() + "'").code, 0);
  std::ifstream in(file, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_GT(bytes.size(), 24u);
  EXPECT_EQ(bytes.substr(1, 3), "PNG");
  auto be32 = [&](size_t at) {
    return (uint32_t(uint8_t(bytes[at])) << 24) | (uint32_t(uint8_t(bytes[at + 1])) << 16) |
           (uint32_t(uint8_t(bytes[at + 2])) << 8) | uint32_t(uint8_t(bytes[at + 3]));
  };
  EXPECT_EQ(be32(16), 240u);
  EXPECT_EQ(be32(20), 320u);
}

TEST_F(PhoneScreenDemoTest, TheHomeScreenTrayAndAPostFromAnotherProcess) {
  std::unique_ptr<UnreadCounter> counter = UnreadCounter::Create(Device(dir_));
  ASSERT_NE(counter, nullptr);
  counter->Set(4);
  Keys("Home");
  nlohmann::json home = Ui();
  EXPECT_EQ(home["home"], true);
  EXPECT_EQ(home["unread"], 4);
  EXPECT_EQ(home["tray"][0]["icon"], 129);
  Keys("Right Action");  // a tap on the demo's tray icon brings it back
  EXPECT_EQ(Ui()["home"], false);
  EXPECT_EQ(ResultText(), "Result: Tray 100 513");

  std::optional<WindowAddress> window = FindWindow(Device(dir_), u"Dialog", u"Demo");
  ASSERT_TRUE(window.has_value());
  ASSERT_TRUE(PostMessage(*window, 1274, 0, 515));
  EXPECT_EQ(ResultText(), "Result: Tray 0 515");  // the ui request waits for posted messages
}

TEST_F(PhoneScreenDemoTest, AfterExitNoScreenAnswers) {
  Keys("Soft2 7");  // Exit is the seventh item
  EXPECT_EQ(WaitForExit(), 0);
  Result after = Phonesim("ui");
  EXPECT_EQ(after.code, 1);
  EXPECT_NE(after.out.find("no phone screen runs"), std::string::npos) << after.out;
  EXPECT_FALSE(FindWindow(Device(dir_), u"Dialog", u"Demo").has_value());
}

}  // namespace
}  // namespace brevalo
