// The shell's side of the home screen: a program that changes what a home-screen plug-in shows
// tells the shell so, naming the plug-in by its class identifier. The device records every such
// notification in its event log ("home-plugin-changed"), which is where the emulated home screen
// and the tests see it.
#pragma once

#include <string_view>

#include "device/device_paths.h"

namespace brevalo {

// False when the notification could not be recorded.
bool NotifyHomePluginChanged(const Device& device, std::u16string_view classId);

}  // namespace brevalo
