// What phonesim and the end-to-end tests use to drive a device's screen.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "device/device_paths.h"

namespace brevalo {

std::filesystem::path ScreenSocketPath(const Device& device);

// Sends one request line to the screen and returns its answer object. Nothing, with *error
// set, when the screen is not reachable, does not answer within `timeoutMs`, answers with
// something that is not an object, or answers "ok": false (its "error" then is *error).
std::optional<nlohmann::json> CallScreen(const Device& device, std::string_view request,
                                         int timeoutMs, std::string* error);

}  // namespace brevalo
