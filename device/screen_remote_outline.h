// The readable outline of a screen dump that `phonesim ui` prints: one line per thing a person
// sees, the focused control marked with ">", selected rows with "*".
#pragma once

#include <string>

#include <nlohmann/json.hpp>

namespace brevalo {

// Any JSON value is accepted; fields that are missing or of the wrong type are left out.
std::string OutlineOfScreen(const nlohmann::json& screen);

}  // namespace brevalo
