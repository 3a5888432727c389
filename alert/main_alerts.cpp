#include "alert/main_alerts.h"

#include "alert/alert_sounds.h"
#include "alert/screen_shake.h"
#include "device/random_key.h"
#include "ui/phone_screen.h"

namespace brevalo {
namespace {

ReminderHost WithVibration(ReminderHost host, MainAlerts* alerts) {
  host.vibrate = [alerts] { alerts->Vibrate(); };
  return host;
}

}  // namespace

MainAlerts::MainAlerts(PhoneScreen& screen, const Settings& settings, ReminderHost host)
    : screen_(screen),
      settings_(settings),
      registry_(screen.DeviceFolder().RegistryFile()),
      files_(screen.DeviceFolder()),
      player_(screen.DeviceFolder()),
      vibrator_(screen.DeviceFolder()),
      popup_(std::make_unique<AlertPopup>(screen, files_, settings)),
      reminder_(settings, player_, WithVibration(std::move(host), this)) {}

MainAlerts::~MainAlerts() = default;

void MainAlerts::PlayFilterSound(std::u16string_view path) {
  if (ProfileAllowsSound(registry_)) player_.PlayFile(path, "filter");
}

void MainAlerts::PlayRandomRing() {
  if (ProfileAllowsSound(registry_)) PlaySoundRandom(player_, settings_.SoundList(), RandomKey);
}

void MainAlerts::Vibrate() { VibrateFor(vibrator_, kAlertVibrationMs, ScreenShakeHold(screen_)); }

}  // namespace brevalo
