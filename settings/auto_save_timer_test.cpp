#include "settings/auto_save_timer.h"

#include <gtest/gtest.h>

namespace brevalo {
namespace {

TEST(AutoSaveTimerTest, OnRestartsWithTheDurationInMinutes) {
  SettingValues settings;
  settings.AutoSave = 1;
  settings.SaveDuration = 3;
  AutoSaveTimer timer;
  EXPECT_TRUE(ApplyAutoSave(settings, timer));
  EXPECT_TRUE(timer.running);
  EXPECT_EQ(timer.periodMs, 180000u);

  settings.SaveDuration = 5;
  EXPECT_TRUE(ApplyAutoSave(settings, timer));
  EXPECT_EQ(timer.periodMs, 300000u);
}

TEST(AutoSaveTimerTest, TurningItOffLeavesARunningTimerRunning) {
  SettingValues settings;
  settings.AutoSave = 1;
  settings.SaveDuration = 2;
  AutoSaveTimer timer;
  ASSERT_TRUE(ApplyAutoSave(settings, timer));
  settings.AutoSave = 0;
  settings.SaveDuration = 9;
  EXPECT_FALSE(ApplyAutoSave(settings, timer));
  EXPECT_TRUE(timer.running);
  EXPECT_EQ(timer.periodMs, 120000u);

  AutoSaveTimer stopped;
  EXPECT_FALSE(ApplyAutoSave(settings, stopped));
  EXPECT_FALSE(stopped.running) << "off never starts one either";
}

TEST(AutoSaveTimerTest, DurationOutsideTheTimersRangeIsBounded) {
  SettingValues settings;
  settings.AutoSave = 1;
  AutoSaveTimer timer;
  settings.SaveDuration = 0;
  ASSERT_TRUE(ApplyAutoSave(settings, timer));
  EXPECT_EQ(timer.periodMs, 60000u);
  settings.SaveDuration = 0x7FFFFFFF;
  ASSERT_TRUE(ApplyAutoSave(settings, timer));
  EXPECT_EQ(timer.periodMs, static_cast<uint32_t>(kLongestSaveDuration) * 60000u);
  EXPECT_LE(timer.periodMs, 0x7FFFFFFFu);
}

}  // namespace
}  // namespace brevalo
