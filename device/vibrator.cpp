#include "device/vibrator.h"

#include "device/device_properties.h"
#include "device/registry.h"

namespace brevalo {

Vibrator::Vibrator(const Device& device) : device_(device), log_(device) {}

int Vibrator::AmplitudeLevels() const {
  Registry registry(device_.RegistryFile());
  std::optional<uint32_t> levels =
      registry.QueryDword(RegRoot::LocalMachine, kDeviceKey, kVibratorLevelsValue);
  if (!levels) return 1;
  return *levels > 16 ? 16 : static_cast<int>(*levels);
}

bool Vibrator::Vibrate() {
  if (AmplitudeLevels() < 1) return false;
  if (!started_) started_ = std::chrono::steady_clock::now();
  return true;
}

void Vibrator::VibrateStop() {
  if (!started_) return;
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                  *started_)
                .count();
  started_.reset();
  log_.Append("vibrate", {{"ms", ms}});
}

}  // namespace brevalo
