// The profile rule, the random ring, vibration and the unread reminder, checked through the
// device's event log as a phone without a sound card reports them.
#include "alert/alert_sounds.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "alert/alert_samples.h"
#include "alert/unread_reminder.h"
#include "device/device_properties.h"
#include "device/kernel_test_support.h"
#include "settings/host_device_files.h"

namespace brevalo {
namespace {

class AlertSoundsTest : public ::testing::Test {
 protected:
  void Put(const std::string& relative, const std::string& bytes) {
    std::filesystem::path file = device().FsRoot() / relative;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << bytes;
  }
  std::vector<nlohmann::json> Events(const std::string& kind) {
    std::vector<nlohmann::json> out;
    for (nlohmann::json& event : EventLog(device()).Read()) {
      if (event["kind"] == kind) out.push_back(event);
    }
    return out;
  }
  const Device& device() const { return temp_.device(); }

  testing::TempDevice temp_;
  Registry registry_{temp_.device().RegistryFile()};
};

TEST_F(AlertSoundsTest, OnlySilentAndMeetingRefuseSound) {
  EXPECT_TRUE(ProfileAllowsSound(registry_));  // no key
  for (auto [profile, allowed] : std::vector<std::pair<std::u16string, bool>>{
           {u"Silent", false}, {u"Meeting", false}, {u"Normal", true}, {u"silent", true},
           {u"Silent ", true}, {u"Outdoor", true}, {std::u16string(300, u'S'), true}}) {
    ASSERT_TRUE(registry_.SetString(RegRoot::CurrentUser, kProfilesKey, kActiveProfileValue, profile));
    EXPECT_EQ(ProfileAllowsSound(registry_), allowed) << std::string(profile.begin(), profile.end());
  }
  ASSERT_TRUE(registry_.SetDword(RegRoot::CurrentUser, kProfilesKey, kActiveProfileValue, 1));
  EXPECT_TRUE(ProfileAllowsSound(registry_));
}

TEST_F(AlertSoundsTest, ARandomRingFolderWithOneFileAlwaysPlaysIt) {
  Put("Ring/only.wav", EncodeWav(std::vector<int16_t>(200, 100), 8000));
  Put("Ring/notes.txt", "x");
  std::filesystem::create_directories(device().FsRoot() / "Ring/sub.wav");
  HostDeviceFiles files(device());
  RandomSoundList list = RandomSoundList::Build(files, u"\\Ring");
  {
    SoundPlayer player(device());
    uint32_t next = 0;
    for (int i = 0; i < 3; ++i) PlaySoundRandom(player, list, [&] { return next += 7; });
    PlaySoundRandom(player, RandomSoundList(), [] { return 1u; });
  }
  std::vector<nlohmann::json> sounds = Events("sound");
  ASSERT_EQ(sounds.size(), 4u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(sounds[i]["file"], "\\Ring\\only.wav");
    EXPECT_EQ(sounds[i]["reason"], "random");
    EXPECT_EQ(sounds[i]["played"], true);
  }
  EXPECT_EQ(sounds[3]["file"], "");  // an empty folder plays nothing
  EXPECT_EQ(sounds[3]["played"], false);
}

TEST_F(AlertSoundsTest, AFileThatCannotBePlayedIsSilence) {
  Put("bad.wav", "RIFF but not really");
  SoundPlayer player(device());
  EXPECT_FALSE(player.PlayFile(u"\\bad.wav", "alert"));
  EXPECT_FALSE(player.PlayFile(u"\\missing.wav", "alert"));
  EXPECT_FALSE(player.PlayFile(u"\\..\\..\\etc\\passwd", "alert"));
  EXPECT_EQ(Events("sound").size(), 3u);
}

TEST_F(AlertSoundsTest, EachVibrationIsOneEventAndAPhoneWithoutAVibratorReturnsAtOnce) {
  Vibrator vibrator(device());
  std::vector<int> held;
  auto hold = [&](int ms) { held.push_back(ms); };
  EXPECT_TRUE(VibrateFor(vibrator, kAlertVibrationMs, hold));
  EXPECT_FALSE(vibrator.Vibrating());
  EXPECT_EQ(held, std::vector<int>{500});
  EXPECT_EQ(Events("vibrate").size(), 1u);

  ASSERT_TRUE(registry_.SetDword(RegRoot::LocalMachine, kDeviceKey, kVibratorLevelsValue, 0));
  EXPECT_FALSE(VibrateFor(vibrator, kAlertVibrationMs, hold));
  EXPECT_EQ(held.size(), 1u);
  EXPECT_EQ(Events("vibrate").size(), 1u);
}

class UnreadReminderTest : public AlertSoundsTest {
 protected:
  UnreadReminderTest() {
    settings_.UnReadIcon = 1;
    settings_.AlertSecond = 30000;
  }
  UnreadReminder MakeReminder() {
    return UnreadReminder(settings_, player_,
                          {[this](int ms) { timer_ = ms; }, [this] { timer_ = 0; },
                           [this](bool shown) { indicator_ = shown; }, [this] { ++vibrations_; }});
  }
  SettingValues settings_;
  SoundPlayer player_{device()};
  int timer_ = 0;
  bool indicator_ = false;
  int vibrations_ = 0;
};

TEST_F(UnreadReminderTest, WithUnReadAlertZeroOnlyTheIndicatorShows) {
  UnreadReminder reminder = MakeReminder();
  reminder.Set(true);
  EXPECT_TRUE(reminder.Active());
  EXPECT_TRUE(indicator_);
  EXPECT_FALSE(reminder.TimerRunning());
  EXPECT_EQ(timer_, 0);
  reminder.Tick();
  EXPECT_EQ(vibrations_, 0);
  EXPECT_TRUE(Events("beep").empty());
  reminder.Set(false);
  EXPECT_FALSE(indicator_);
  EXPECT_FALSE(reminder.Active());
}

TEST_F(UnreadReminderTest, TicksByKindAndASecondMessageDoesNotRestartThePeriod) {
  settings_.UnReadAlert = 3;
  settings_.UnReadIcon = 0;
  ASSERT_TRUE(registry_.SetString(RegRoot::CurrentUser, kProfilesKey, kActiveProfileValue, u"Silent"));
  UnreadReminder reminder = MakeReminder();
  reminder.Set(true);
  EXPECT_EQ(timer_, 30000);
  EXPECT_FALSE(indicator_);
  timer_ = -1;
  reminder.Set(true);
  EXPECT_EQ(timer_, -1);  // untouched
  reminder.Tick();        // Silent does not keep the reminder quiet
  EXPECT_EQ(vibrations_, 1);
  ASSERT_EQ(Events("beep").size(), 1u);
  EXPECT_EQ(Events("beep")[0]["reason"], "reminder");

  settings_.UnReadAlert = 2;
  settings_.AlertSound.Assign(u"\\Windows\\alarm.wav");
  reminder.Tick();
  EXPECT_EQ(vibrations_, 1);
  ASSERT_EQ(Events("sound").size(), 1u);
  EXPECT_EQ(Events("sound")[0]["file"], "\\Windows\\alarm.wav");
  settings_.UnReadAlert = 1;
  reminder.Tick();
  EXPECT_EQ(vibrations_, 2);
  settings_.UnReadAlert = 7;
  reminder.Tick();
  EXPECT_EQ(vibrations_, 2);
  reminder.Set(false);
  EXPECT_EQ(timer_, 0);
}

}  // namespace
}  // namespace brevalo
