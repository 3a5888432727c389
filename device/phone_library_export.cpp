// The device setup that every phone library exports; compiled into each of them.
#include "device/phone_library_device.h"

BREVALO_LIBRARY_EXPORT void BrevaloSetDeviceFolder(const char* hostDir) {
  brevalo::SetPhoneLibraryDevice(hostDir != nullptr ? std::filesystem::path(hostDir)
                                                    : std::filesystem::path());
}
