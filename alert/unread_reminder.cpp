#include "alert/unread_reminder.h"

namespace brevalo {

UnreadReminder::UnreadReminder(const SettingValues& settings, SoundPlayer& player, ReminderHost host)
    : settings_(settings), player_(player), host_(std::move(host)) {}

void UnreadReminder::Set(bool on) {
  if (on == active_) return;
  host_.stopTimer();
  timerRunning_ = false;
  if (!on) {
    host_.showIndicator(false);
    active_ = false;
    return;
  }
  // A period of 0 or less would fire without pause; the option page never stores one.
  if (settings_.UnReadAlert != 0 && settings_.AlertSecond > 0) {
    host_.startTimer(settings_.AlertSecond);
    timerRunning_ = true;
  }
  if (settings_.UnReadIcon) host_.showIndicator(true);
  active_ = true;
}

void UnreadReminder::Tick() {
  switch (settings_.UnReadAlert) {
    case 1:
      host_.vibrate();
      break;
    case 2:
      Sound();
      break;
    case 3:
      Sound();
      host_.vibrate();
      break;
    default:
      break;
  }
}

void UnreadReminder::Sound() {
  const std::u16string& sound = settings_.AlertSound.Text();
  if (sound.empty()) player_.Beep("reminder");
  else player_.PlayFile(sound, "reminder");
}

}  // namespace brevalo
