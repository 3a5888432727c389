#include "settings/auto_save_timer.h"

namespace brevalo {

bool ApplyAutoSave(const SettingValues& settings, AutoSaveTimer& timer) {
  if (settings.AutoSave == 0) return false;
  // Load never gives a duration outside 1 .. kLongestSaveDuration, but an option page might: zero
  // would save without pause and a huge one would wrap round to a short period.
  int32_t minutes = settings.SaveDuration;
  if (minutes < 1) minutes = 1;
  if (minutes > kLongestSaveDuration) minutes = kLongestSaveDuration;
  timer.running = true;
  timer.periodMs = static_cast<uint32_t>(minutes) * 60000u;
  return true;
}

}  // namespace brevalo
