// The screen of a program on a device, driven and read through phonesim as a user does at a
// terminal: both output streams together, the screen as JSON.
#pragma once

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <string>

#include "tests/support/shell_command.h"

namespace brevalo::testing {

inline ShellResult RunPhonesim(const std::string& device, const std::string& args) {
  return RunToolLine("phonesim", device, args + " 2>&1");
}

// `phonesim ui --json`, parsed; a discarded value when the screen could not be read.
inline nlohmann::json ScreenJson(const std::string& device) {
  ShellResult result = RunPhonesim(device, "ui --json");
  EXPECT_EQ(result.code, 0) << result.out;
  return nlohmann::json::parse(result.out, nullptr, false);
}

}  // namespace brevalo::testing
