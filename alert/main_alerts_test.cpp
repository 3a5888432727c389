// The main window's alerts: the reminder's tick reaches the device (a beep and a vibration in
// its event log), the filter's sound keeps to the profile, and the screen stands where it
// stood after a vibration shook it.
#include "alert/main_alerts.h"

#include <gtest/gtest.h>

#include "alert/alert_sounds.h"
#include "settings/host_device_files.h"
#include "ui/ui_test_support.h"

namespace brevalo {
namespace {

std::vector<std::string> Kinds(const Device& device) {
  std::vector<std::string> kinds;
  for (const nlohmann::json& event : EventLog(device).Read()) {
    std::string kind = event["kind"];
    if (kind == "beep" || kind == "vibrate" || kind == "sound") kinds.push_back(kind);
  }
  return kinds;
}

TEST(MainAlertsTest, TheReminderSoundsThenVibratesAndTheFilterSoundKeepsToTheProfile) {
  testing::ScreenFixture fixture;
  HostDeviceFiles files(fixture.device());
  Settings settings(files);
  settings.UnReadAlert = 3;
  settings.AlertSecond = 30000;
  int timer = 0;
  bool indicator = false;
  MainAlerts alerts(fixture.screen(), settings,
                    {[&](int ms) { timer = ms; }, [&] { timer = 0; }, [&](bool shown) { indicator = shown; }, {}});
  std::vector<QPoint> before;
  for (QWidget* child : fixture.screen().findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) before.push_back(child->pos());

  alerts.Reminder().Set(true);
  EXPECT_EQ(timer, 30000);
  EXPECT_TRUE(indicator);
  alerts.Reminder().Tick();
  EXPECT_EQ(Kinds(fixture.device()), (std::vector<std::string>{"beep", "vibrate"}));
  std::vector<QPoint> after;
  for (QWidget* child : fixture.screen().findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) after.push_back(child->pos());
  EXPECT_EQ(after, before);

  Registry registry(fixture.device().RegistryFile());
  ASSERT_TRUE(registry.SetString(RegRoot::CurrentUser, kProfilesKey, kActiveProfileValue, u"Meeting"));
  alerts.PlayFilterSound(u"\\Windows\\ring.wav");
  alerts.PlayRandomRing();
  EXPECT_EQ(Kinds(fixture.device()).size(), 2u);
  ASSERT_TRUE(registry.SetString(RegRoot::CurrentUser, kProfilesKey, kActiveProfileValue, u"Normal"));
  alerts.PlayFilterSound(u"\\Windows\\ring.wav");
  alerts.PlayRandomRing();
  EXPECT_EQ(Kinds(fixture.device()), (std::vector<std::string>{"beep", "vibrate", "sound", "sound"}));
  EXPECT_FALSE(alerts.Popup().Visible());
}

}  // namespace
}  // namespace brevalo
