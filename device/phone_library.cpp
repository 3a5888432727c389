// phone.dll: the program only checks that the phone library loads, which tells it that the
// device can place calls. It exports a version beside the device setup every phone library has.
#include <cstdint>

#include "device/phone_library_device.h"

using namespace brevalo;

BREVALO_LIBRARY_EXPORT uint32_t PhoneLibraryVersion() { return 1; }
