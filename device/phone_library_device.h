// Which device a phone library (sms, cellcore, phone) works on. The loading process may name
// the device folder first through the library's exported BrevaloSetDeviceFolder; otherwise the
// library uses $VELMORA_DEVICE, else the default device folder, like every tool of the device.
#pragma once

#include <filesystem>

#include "device/device_paths.h"

// Marks the few functions a phone library exports; everything else stays inside it.
#define BREVALO_LIBRARY_EXPORT extern "C" __attribute__((visibility("default")))

namespace brevalo {

// Exported by each of the phone's libraries: the host folder of the device to work on, UTF-8.
using SetDeviceFolderFunction = void (*)(const char* hostDir);
inline constexpr const char* kSetDeviceFolder = "BrevaloSetDeviceFolder";

// An empty path forgets an earlier choice.
void SetPhoneLibraryDevice(const std::filesystem::path& dir);
Device PhoneLibraryDevice();

}  // namespace brevalo
