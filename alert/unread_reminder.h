// The unread reminder: while unread messages wait, a sound, a vibration or both repeat every
// AlertSecond milliseconds (timer 3 of the main window), and the unread indicator shows. Any
// command of the program ends it.
#pragma once

#include <functional>

#include "device/sound_player.h"
#include "settings/settings.h"

namespace brevalo {

// What the reminder asks of the window that owns it.
struct ReminderHost {
  std::function<void(int periodMs)> startTimer;  // timer 3
  std::function<void()> stopTimer;
  std::function<void(bool shown)> showIndicator;  // the unread tray icon
  std::function<void()> vibrate;                  // one vibration of the alerts' length
};

class UnreadReminder {
 public:
  // The settings, the player and what the host's functions reach must outlive the reminder.
  UnreadReminder(const SettingValues& settings, SoundPlayer& player, ReminderHost host);

  // On: timer 3 when UnReadAlert is not 0, the indicator when UnReadIcon is on. Off: the
  // indicator goes. A request for the state already in force changes nothing, so a second
  // message does not restart the period.
  void Set(bool on);
  bool Active() const { return active_; }
  bool TimerRunning() const { return timerRunning_; }

  // One tick of timer 3: by UnReadAlert, 1 vibrates, 2 sounds (AlertSound, or the default
  // beep when it is not set), 3 sounds and then vibrates. The profile is not asked: a
  // reminder is what the user chose to be woken by.
  void Tick();

 private:
  void Sound();

  const SettingValues& settings_;
  SoundPlayer& player_;
  ReminderHost host_;
  bool active_ = false;
  bool timerRunning_ = false;
};

}  // namespace brevalo
