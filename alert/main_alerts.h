// The alerts of the main window in one place: the pop-up made at start-up, the sound player,
// the vibrator with the shaking screen, and the unread reminder on the window's timer 3.
#pragma once

#include <memory>

#include "alert/alert_popup.h"
#include "alert/file_source.h"
#include "alert/unread_reminder.h"
#include "device/registry.h"
#include "device/sound_player.h"
#include "device/vibrator.h"
#include "settings/settings.h"

namespace brevalo {

class PhoneScreen;

class MainAlerts {
 public:
  // `host` starts and stops timer 3 and shows the unread tray icon; its `vibrate` is filled in
  // here. The screen and the settings must outlive the alerts.
  MainAlerts(PhoneScreen& screen, const Settings& settings, ReminderHost host);
  ~MainAlerts();

  AlertPopup& Popup() { return *popup_; }
  UnreadReminder& Reminder() { return reminder_; }

  // The filter's sound: `path` unless the active profile is Silent or Meeting.
  void PlayFilterSound(std::u16string_view path);
  // The random ring from the settings' sound list, under the same profile rule.
  void PlayRandomRing();
  // The filter's and the reminder's vibration of 500 ms.
  void Vibrate();

 private:
  PhoneScreen& screen_;
  const Settings& settings_;
  Registry registry_;
  DeviceFileSource files_;
  SoundPlayer player_;
  Vibrator vibrator_;
  std::unique_ptr<AlertPopup> popup_;
  UnreadReminder reminder_;
};

}  // namespace brevalo
