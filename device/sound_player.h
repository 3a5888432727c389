// The phone's sound output: WAV files played asynchronously, one at a time, and the default
// beep. Every request is also written to the device's event log ("sound" and "beep"), so that
// what the phone would have played can be checked on a machine without a sound device, where
// playback falls back to silence.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include "device/device_paths.h"
#include "device/event_log.h"

namespace brevalo {

class SoundPlayer {
 public:
  // The device must outlive the player.
  explicit SoundPlayer(const Device& device);
  ~SoundPlayer();  // stops what plays and waits for the playing thread
  SoundPlayer(const SoundPlayer&) = delete;
  SoundPlayer& operator=(const SoundPlayer&) = delete;

  // Stops what plays and starts `devicePath` on a thread of its own; returns at once. The event
  // {"kind": "sound", "file", "reason", "played"} says whether the file could be opened and
  // decoded; a file that cannot is silence, as on the phone. An empty path only stops.
  bool PlayFile(std::u16string_view devicePath, std::string_view reason);
  // The platform's default beep: {"kind": "beep", "reason"}.
  void Beep(std::string_view reason);

 private:
  struct Playback;
  void Start(std::unique_ptr<Playback> playback);
  void StopPlaying();

  const Device& device_;
  EventLog log_;
  std::mutex mutex_;
  std::shared_ptr<std::atomic<bool>> stop_;
  std::thread thread_;
};

}  // namespace brevalo
