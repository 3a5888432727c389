#include "device/phone_library_device.h"

#include <mutex>

namespace brevalo {
namespace {

std::mutex& DeviceMutex() {
  static std::mutex mutex;
  return mutex;
}

std::filesystem::path& ChosenDevice() {
  static std::filesystem::path dir;
  return dir;
}

}  // namespace

void SetPhoneLibraryDevice(const std::filesystem::path& dir) {
  std::lock_guard lock(DeviceMutex());
  ChosenDevice() = dir;
}

Device PhoneLibraryDevice() {
  std::lock_guard lock(DeviceMutex());
  if (!ChosenDevice().empty()) return Device(ChosenDevice());
  return Device(Device::ResolveDir(""));
}

}  // namespace brevalo
