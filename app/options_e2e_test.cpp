// The Options pages as a person uses them on the phone: receiving switched off and on, starting
// with the phone, binding keys, the automatic save's period and the pop-up's skin; what the
// phone, the registry and the document show afterwards.
#include <signal.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "app/intake_device_fixture.h"
#include "device/device_folder.h"
#include "device/event_log.h"

namespace brevalo {
namespace {

using testing::Program;
using testing::TextCounts;

constexpr int kAutoRun = 1101;
constexpr int kAutoReceive = 1104;
constexpr int kHomePlugin = 1108;
constexpr int kMinutes = 1110;
constexpr int kSkin = 1307;
constexpr int kHotkeyList = 1001;

class OptionsTest : public testing::IntakeDeviceTest {
 protected:
  // The page `item` of the System menu's Options, once it shows.
  nlohmann::json OpenOptionsPage(const std::string& item, const std::string& title) {
    Keys("Soft1");
    Choose("Options");
    Choose(item);
    return ScreenWhen([&](const nlohmann::json& s) {
      return s["title"] == title && s["menu"].is_null() && !s["controls"].empty();
    });
  }
  static nlohmann::json ControlOf(const nlohmann::json& screen, int id) {
    for (const nlohmann::json& control : screen["controls"]) {
      if (control["id"] == id) return control;
    }
    return nlohmann::json();
  }
  // Down until the control `id` has the focus; the screen then.
  nlohmann::json FocusOn(int id) {
    for (int i = 0; i < 30; ++i) {
      nlohmann::json screen = *Screen();
      if (screen["focus"] == id) return screen;
      Keys("Down");
    }
    ADD_FAILURE() << "control " << id << " never took the focus";
    return *Screen();
  }
  // The Preference page with the check box `id` turned to `on`, left with OK.
  void SetPreferenceSwitch(int id, bool on) {
    OpenOptionsPage("Preference...", "Preference");
    if (ControlOf(FocusOn(id), id)["checked"] != on) Keys("Action");
    Keys("Soft1");
    ScreenWhen(MainWindowInFront);
  }
  // The rows of the Hotkey page: "Function=Hotkey".
  static std::vector<std::string> HotkeyRows(const nlohmann::json& screen) {
    std::vector<std::string> rows;
    const nlohmann::json list = ControlOf(screen, kHotkeyList);
    for (const nlohmann::json& row : list["rows"]) {
      rows.push_back(row["columns"][0].get<std::string>() + "=" + row["columns"][1].get<std::string>());
    }
    return rows;
  }
  std::optional<pid_t> LastStartedPid() {
    std::optional<pid_t> pid;
    for (const nlohmann::json& event : EventLog(device()).Read()) {
      if (event["kind"] == "program-started" && event["by"] == "loader") pid = event["pid"].get<pid_t>();
    }
    return pid;
  }
  static bool Gone(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string fields;
    std::getline(stat, fields);
    // A process that ended may wait as a zombie for whoever adopted it.
    return fields.empty() || fields.find(") Z") != std::string::npos;
  }
  void EndStartedProgram(pid_t pid) {
    kill(pid, SIGTERM);
    for (int i = 0; i < 1000 && !Gone(pid); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_TRUE(Gone(pid));
  }
  bool Exists(const std::string& relative) { return std::filesystem::exists(device().FsRoot() / relative); }
};

TEST_F(OptionsTest, AutoReceiveSmsOffLeavesMessagesOnThePhoneAndOnFilesThemAgain) {
  StartReceivingIntoANewDocument();
  // Registered by name beside the program, not from \Storage: the page reads that as off.
  nlohmann::json page = OpenOptionsPage("Preference...", "Preference");
  EXPECT_EQ(ControlOf(page, kAutoReceive)["checked"], false);
  Keys("Soft2");
  ScreenWhen(MainWindowInFront);

  SetPreferenceSwitch(kAutoReceive, true);
  EXPECT_TRUE(Exists("Storage/corvane.dll"));
  EXPECT_TRUE(Deliver(u"+4917000001", u"filed once").Deleted());

  SetPreferenceSwitch(kAutoReceive, false);
  EXPECT_TRUE(Deliver(u"+4917000001", u"stays on the phone").Kept());
  EXPECT_EQ(PhoneInbox(), (TextCounts{{u"stays on the phone", 1}}));

  SetPreferenceSwitch(kAutoReceive, true);
  EXPECT_EQ(ControlOf(OpenOptionsPage("Preference...", "Preference"), kAutoReceive)["checked"], true);
  Keys("Soft2");
  ScreenWhen(MainWindowInFront);
  EXPECT_TRUE(Deliver(u"+4917000001", u"filed again").Deleted());
  EndProgram();
  EXPECT_EQ(DocumentTexts(), (TextCounts{{u"filed once", 1}, {u"filed again", 1}}));
}

TEST_F(OptionsTest, AutoRunStartsTheProgramAtBootUntilItIsTurnedOff) {
  StartProgram();
  SetPreferenceSwitch(kAutoRun, true);
  EXPECT_TRUE(Exists("Storage/loader.exe"));
  EXPECT_TRUE(Exists("Windows/StartUp/Velmora.lnk"));
  EndProgram();

  std::optional<std::string> booted = Phonesim("boot");
  ASSERT_TRUE(booted);
  EXPECT_NE(booted->find("started \\storage\\loader.exe \"\\Program Files\\Velmora\\velmora.exe\""), std::string::npos)
      << *booted;
  ScreenWhen(MainWindowInFront);
  std::optional<pid_t> started = LastStartedPid();
  ASSERT_TRUE(started) << "the loader started the program";
  SetPreferenceSwitch(kAutoRun, false);
  EXPECT_FALSE(Exists("Storage/loader.exe"));
  EXPECT_FALSE(Exists("Windows/StartUp/Velmora.lnk"));
  EndStartedProgram(*started);

  booted = Phonesim("boot");
  ASSERT_TRUE(booted);
  EXPECT_EQ(*booted, "no start-up shortcuts\n");
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  EXPECT_FALSE(Screen()) << "nothing started the program";
  EXPECT_EQ(LastStartedPid(), started);
}

TEST_F(OptionsTest, TheHomeScreenShowsTheUnreadLineWhileThePlugInIsOnAndActionBringsTheProgramBack) {
  StartReceivingIntoANewDocument();
  ASSERT_TRUE(Deliver(u"+4917000001", u"unread").Deleted());
  Keys("Back");  // the program hides; the home screen shows
  EXPECT_TRUE(ScreenWhen(HomeInFront)["homeLine"].is_null()) << "no plug-in registered yet";
  Keys("Right Action");  // the tray icon brings the program back
  ScreenWhen(MainWindowInFront);

  SetPreferenceSwitch(kHomePlugin, true);
  EXPECT_TRUE(Exists("Storage/Application Data/Home/sms.home.xml"));
  Keys("Back");
  nlohmann::json home = ScreenWhen([](const nlohmann::json& s) { return HomeInFront(s) && !s["homeLine"].is_null(); });
  EXPECT_EQ(home["homeLine"]["text"], "1 unread SMS");
  Keys("Down");
  EXPECT_EQ((*Screen())["homeLine"]["selected"], true);
  Keys("Action");
  ScreenWhen(MainWindowInFront);

  SetPreferenceSwitch(kHomePlugin, false);
  EXPECT_FALSE(Exists("Storage/Application Data/Home/sms.home.xml"));
  Keys("Back");
  EXPECT_TRUE(ScreenWhen(HomeInFront)["homeLine"].is_null());
}

TEST_F(OptionsTest, AKeyBoundToOpenIsTakenFromSaveAndResetEmptiesTheKeySubKey) {
  StartProgram();
  nlohmann::json page = OpenOptionsPage("Hotkey...", "Hotkey");
  ASSERT_EQ(HotkeyRows(page).size(), 16u);
  EXPECT_EQ(HotkeyRows(page)[3], "Save=(none)");
  Keys("Down Down Down Action");  // Save
  EXPECT_EQ(ControlOf(*Screen(), 1401)["text"], "Press Key or Press Back to cancel");
  Keys("5");
  EXPECT_EQ(HotkeyRows(*Screen())[3], "Save=5");
  Keys("Up Action 5");  // Open
  page = *Screen();
  EXPECT_EQ(HotkeyRows(page)[2], "Open=5");
  EXPECT_EQ(HotkeyRows(page)[3], "Save=(none)");
  EXPECT_EQ(ControlOf(page, 1401)["text"], "Action = change, Back = unmap");
  Keys("Soft1");
  ScreenWhen(MainWindowInFront);
  Registry registry(device().RegistryFile());
  ASSERT_TRUE(registry.Load());
  EXPECT_EQ(registry.QueryDword(RegRoot::CurrentUser, u"Software\\Velmora\\Key", u"KeyCmd0"), 40074u);
  EXPECT_EQ(registry.QueryDword(RegRoot::CurrentUser, u"Software\\Velmora\\Key", u"KeyCode0"), 0x35u);
  EXPECT_FALSE(registry.QueryDword(RegRoot::CurrentUser, u"Software\\Velmora\\Key", u"KeyCmd1"));

  Keys("5");  // Open... now
  ScreenWhen([](const nlohmann::json& s) { return s["title"] == "Open"; });
  Keys("Soft2");
  ScreenWhen(MainWindowInFront);

  OpenOptionsPage("Hotkey...", "Hotkey");
  Keys("Soft2");  // Reset
  Keys("Soft1");
  ScreenWhen(MainWindowInFront);
  ASSERT_TRUE(registry.Load());
  EXPECT_TRUE(registry.KeyExists(RegRoot::CurrentUser, u"Software\\Velmora\\Key"));
  EXPECT_TRUE(registry.ValueNames(RegRoot::CurrentUser, u"Software\\Velmora\\Key").empty());
}

TEST_F(OptionsTest, PreferenceStaysOpenWithZeroMinutesAndKeepsFive) {
  StartProgram();
  OpenOptionsPage("Preference...", "Preference");
  FocusOn(kMinutes);
  Keys("Back 0 Soft1");
  nlohmann::json screen = *Screen();
  EXPECT_EQ(screen["title"], "Preference");
  EXPECT_EQ(screen["focus"], kMinutes);
  Keys("Back 5 Soft1");
  ScreenWhen(MainWindowInFront);
  EXPECT_EQ(StoredSetting(u"SaveDuration"), 5u) << "saved when the page is left with OK";
}

TEST_F(OptionsTest, ChoosingDefaultInTheSkinListStoresNoSkin) {
  Registry registry(device().RegistryFile());
  ASSERT_TRUE(registry.Load());
  std::optional<std::vector<DeviceFolderEntry>> skins = ListDeviceFolder(device(), u"\\Program Files\\Velmora\\skins");
  ASSERT_TRUE(skins);
  std::u16string skin;
  for (const DeviceFolderEntry& entry : *skins) {
    if (entry.name.ends_with(u".cfg")) skin = u"\\Program Files\\Velmora\\skins\\" + entry.name;
  }
  ASSERT_FALSE(skin.empty()) << "phonesim install puts sample skins there";
  ASSERT_TRUE(registry.SetString(RegRoot::CurrentUser, u"Software\\Velmora", u"SentSkin", skin));
  StartProgram();
  OpenOptionsPage("Alert...", "Alert Option");
  EXPECT_NE(ControlOf(FocusOn(kSkin), kSkin)["text"], "Default");
  for (int i = 0; i < 10 && ControlOf(*Screen(), kSkin)["text"] != "Default"; ++i) Keys("Left");
  Keys("Soft1");
  ScreenWhen(MainWindowInFront);
  ASSERT_TRUE(registry.Load());
  EXPECT_EQ(registry.QueryString(RegRoot::CurrentUser, u"Software\\Velmora", u"SentSkin"), skin)
      << "the Alert page has no save of its own";
  EndProgram();
  ASSERT_TRUE(registry.Load());
  EXPECT_EQ(registry.QueryString(RegRoot::CurrentUser, u"Software\\Velmora", u"SentSkin"), u"");
}

}  // namespace
}  // namespace brevalo
