// The fixture of velmora's end-to-end tests: a throw-away device, our tools run on it, and the
// phone's screen read through the remote control.
#pragma once

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/velmora_process.h"
#include "device/event_log.h"
#include "device/kernel_test_support.h"
#include "device/registry.h"
#include "tests/support/shell_command.h"

namespace brevalo::testing {

class VelmoraTest : public ::testing::Test {
 protected:
  const Device& device() { return temp_.device(); }

  // The output of one of our tools on the device, or nothing when it failed.
  std::optional<std::string> Run(const std::string& tool, const std::string& arguments) {
    testing::ShellResult result = testing::RunToolLine(tool, device().Dir().string(), arguments);
    if (result.code != 0) return std::nullopt;
    return result.out;
  }
  std::optional<std::string> Phonesim(const std::string& arguments) { return Run("phonesim", arguments); }
  std::optional<std::string> Kvt(const std::string& arguments) { return Run("kvt", arguments); }
  // The saved tree of `document` (quoted for the shell) as kvt reads it, one line per node,
  // indented by depth; with `markUnread`, "*" after each unread message.
  std::vector<std::string> KvtTreeLines(const std::string& document, bool markUnread) {
    std::optional<std::string> out = Kvt("--json tree " + document);
    if (!out) return {"no document"};
    const nlohmann::json tree = nlohmann::json::parse(*out, nullptr, false);
    if (!tree.contains("nodes")) return {"not a tree: " + *out};
    std::vector<std::string> lines;
    for (const nlohmann::json& node : tree["nodes"]) {
      lines.push_back(std::string(2 * node["depth"].get<size_t>(), ' ') + node["label"].get<std::string>() +
                      (markUnread && node["image"] == 3 ? "*" : ""));
    }
    return lines;
  }
  std::optional<nlohmann::json> Screen() {
    std::optional<std::string> out = Phonesim("--json ui");
    if (!out) return std::nullopt;
    return nlohmann::json::parse(*out, nullptr, false);
  }
  // The screen once `done` holds for it, within ten seconds.
  nlohmann::json ScreenWhen(const std::function<bool(const nlohmann::json&)>& done) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    std::optional<nlohmann::json> screen;
    while (std::chrono::steady_clock::now() < deadline) {
      screen = Screen();
      if (screen && !screen->is_discarded() && done(*screen)) return *screen;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ADD_FAILURE() << "the screen never got there; last: " << (screen ? screen->dump() : "no screen");
    return screen.value_or(nlohmann::json());
  }
  void Keys(const std::string& keys) { ASSERT_TRUE(Phonesim("key " + keys)) << keys; }
  // In the open menu: Down until the item with `text` is selected, then Action on it.
  void Choose(const std::string& text) {
    for (int i = 0; i < 20; ++i) {
      nlohmann::json screen = *Screen();
      ASSERT_FALSE(screen["menu"].is_null()) << "no menu is open";
      for (const nlohmann::json& item : screen["menu"]["items"]) {
        if (item.value("selected", false) && item.value("text", "") == text) {
          Keys("Action");
          return;
        }
      }
      Keys("Down");
    }
    FAIL() << text << " was never selected";
  }
  static bool MainWindowInFront(const nlohmann::json& screen) {
    return screen["home"] == false && screen["title"] == "Brevalo";
  }
  static bool HomeInFront(const nlohmann::json& screen) { return screen["home"] == true; }
  void SetSetting(std::u16string_view name, uint32_t value) {
    Registry registry(device().RegistryFile());
    ASSERT_TRUE(registry.Load());
    ASSERT_TRUE(registry.SetDword(RegRoot::CurrentUser, u"Software\\Velmora", name, value));
  }
  std::optional<uint32_t> StoredSetting(std::u16string_view name) {
    Registry registry(device().RegistryFile());
    if (!registry.Load()) return std::nullopt;
    return registry.QueryDword(RegRoot::CurrentUser, u"Software\\Velmora", name);
  }
  size_t PluginNotifications() {
    size_t count = 0;
    for (const nlohmann::json& event : EventLog(device()).Read()) count += event["kind"] == "home-plugin-changed";
    return count;
  }

  TempDevice temp_;
};

// The rows of the main window's tree as the screen shows them, "label" or "label*" when bold.
inline std::vector<std::string> TreeRows(const nlohmann::json& screen) {
  std::vector<std::string> rows;
  for (const nlohmann::json& control : screen["controls"]) {
    if (control["kind"] != "tree") continue;
    for (const nlohmann::json& row : control["rows"]) {
      rows.push_back(std::string(2 * row["depth"].get<size_t>(), ' ') + row["text"].get<std::string>() +
                     (row["bold"].get<bool>() ? "*" : ""));
    }
  }
  return rows;
}

inline std::string TreeSelection(const nlohmann::json& screen) {
  for (const nlohmann::json& control : screen["controls"]) {
    if (control["kind"] == "tree") return control["selection"];
  }
  return "";
}

}  // namespace brevalo::testing
