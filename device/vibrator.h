// The phone's vibrator. The device reports one amplitude level unless its registry says
// otherwise (HKEY_LOCAL_MACHINE\Device VibratorLevels, 0 for a phone without a vibrator). Each
// vibration, from start to stop, is one event {"kind": "vibrate", "ms"} in the device's log.
#pragma once

#include <chrono>
#include <optional>
#include <string_view>

#include "device/device_paths.h"
#include "device/event_log.h"

namespace brevalo {

inline constexpr std::u16string_view kVibratorLevelsValue = u"VibratorLevels";

class Vibrator {
 public:
  explicit Vibrator(const Device& device);

  // The number of amplitude levels; below 1 the device cannot vibrate.
  int AmplitudeLevels() const;
  // Starts vibrating without a time limit; false when the device cannot vibrate.
  bool Vibrate();
  // Ends the vibration started last and records it; nothing when none runs.
  void VibrateStop();
  bool Vibrating() const { return started_.has_value(); }

 private:
  const Device& device_;
  EventLog log_;
  std::optional<std::chrono::steady_clock::time_point> started_;
};

}  // namespace brevalo
