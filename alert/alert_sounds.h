// The audible and tactile side of an alert: the phone's profile test, the random ring and a
// vibration of a given length.
#pragma once

#include <cstdint>
#include <functional>

#include "device/registry.h"
#include "device/sound_player.h"
#include "device/vibrator.h"
#include "settings/random_sound_list.h"

namespace brevalo {

inline constexpr std::u16string_view kProfilesKey = u"ControlPanel\\Profiles";
inline constexpr std::u16string_view kActiveProfileValue = u"ActiveProfile";
inline constexpr size_t kProfileBufferChars = 259;  // a 520-byte buffer, the terminator included
inline constexpr int kAlertVibrationMs = 500;

// False exactly when the active profile is "Silent" or "Meeting" (whole name, case counts).
// A missing key or value, or one too long for the buffer, allows sound.
bool ProfileAllowsSound(Registry& registry);

// One entry of the list, picked by `random` modulo its size, played from its folder; with an
// empty list the player is called with no file, which plays nothing.
void PlaySoundRandom(SoundPlayer& player, const RandomSoundList& list,
                     const std::function<uint32_t()>& random);

// Holds the calling thread for a vibration's length; the program's shakes the screen meanwhile.
using VibrationHold = std::function<void(int ms)>;
void SleepFor(int ms);

// Vibrates for `ms` milliseconds, holding the calling thread meanwhile; returns at once when
// the device cannot vibrate. False then.
bool VibrateFor(Vibrator& vibrator, int ms, const VibrationHold& hold = SleepFor);

}  // namespace brevalo
