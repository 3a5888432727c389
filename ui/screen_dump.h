// What the remote control's "ui" request answers: everything a person could read off the
// screen, as JSON.
#pragma once

#include <nlohmann/json.hpp>

namespace brevalo {

class PhoneScreen;

// {"home", "title", "softKeys", "focus", "inputMode", "controls", "menu", "messageBox",
//  "popup", "tray", "windows", "unread", "enabled"}. Every field is present; absent things are null or empty.
nlohmann::json DumpScreen(const PhoneScreen& screen);

}  // namespace brevalo
