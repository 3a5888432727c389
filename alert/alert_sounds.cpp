#include "alert/alert_sounds.h"

#include <chrono>
#include <thread>

namespace brevalo {

bool ProfileAllowsSound(Registry& registry) {
  std::optional<std::u16string> profile =
      registry.QueryString(RegRoot::CurrentUser, kProfilesKey, kActiveProfileValue);
  if (!profile || profile->size() > kProfileBufferChars) return true;
  return *profile != u"Silent" && *profile != u"Meeting";
}

void PlaySoundRandom(SoundPlayer& player, const RandomSoundList& list,
                     const std::function<uint32_t()>& random) {
  if (list.empty()) {
    player.PlayFile(u"", "random");
    return;
  }
  player.PlayFile(list.PathAt(random() % list.size()), "random");
}

void SleepFor(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

bool VibrateFor(Vibrator& vibrator, int ms, const VibrationHold& hold) {
  if (vibrator.AmplitudeLevels() < 1 || !vibrator.Vibrate()) return false;
  hold(ms);
  vibrator.VibrateStop();
  return true;
}

}  // namespace brevalo
