// The home-screen plug-in velmora.dll: one line of the home screen with the number of unread
// messages of the program's open document ("KVT_SmsCount"), and Action on that line bringing
// the hidden program back, as a second start of it does. It meets the program only through the
// shared count and the device's window directory.
#include <algorithm>
#include <filesystem>
#include <mutex>
#include <string>

#include "channel/unread_counter.h"
#include "device/home_plugin.h"
#include "device/phone_library_device.h"
#include "device/window_directory.h"

namespace {

constexpr std::u16string_view kMainWindowClass = u"Dialog";
constexpr std::u16string_view kMainWindowTitle = u"Brevalo";
// The tray icons' callback message; a double tap shows the hidden program.
constexpr uint32_t kTrayNotify = 1274;
constexpr int32_t kDoubleTap = 0x0203;

std::mutex deviceMutex;
std::filesystem::path deviceDir;

brevalo::Device PluginDevice() {
  std::lock_guard<std::mutex> lock(deviceMutex);
  return brevalo::Device(deviceDir.empty() ? brevalo::Device::ResolveDir("") : deviceDir);
}

}  // namespace

BREVALO_LIBRARY_EXPORT void BrevaloSetDeviceFolder(const char* hostDir) {
  std::lock_guard<std::mutex> lock(deviceMutex);
  deviceDir = hostDir != nullptr ? std::filesystem::path(hostDir) : std::filesystem::path();
}

BREVALO_LIBRARY_EXPORT int HomePluginLine(char16_t* buffer, int capacity) {
  if (buffer == nullptr || capacity <= 0) return 0;
  std::optional<uint32_t> unread = brevalo::UnreadCounter::Peek(PluginDevice());
  // Nothing unread, or no program running: no line, as there is no unread icon then.
  if (!unread || *unread == 0) return 0;
  const std::string text = std::to_string(*unread) + " unread SMS";
  const int length = std::min(static_cast<int>(text.size()), capacity);
  std::copy_n(text.begin(), length, buffer);
  return length;
}

BREVALO_LIBRARY_EXPORT int HomePluginAction() {
  const brevalo::Device device = PluginDevice();
  std::optional<brevalo::WindowAddress> window = brevalo::FindWindow(device, kMainWindowClass, kMainWindowTitle);
  return window && brevalo::PostMessage(*window, kTrayNotify, 0, kDoubleTap) ? 1 : 0;
}
