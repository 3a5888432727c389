// How the plain code asks the user for a password: the password dialog in ask mode, or a fake
// in tests.
#pragma once

#include <functional>
#include <string_view>

namespace brevalo {

// Asks the user to give `password`; true when it was given, false on Cancel.
using PasswordAsk = std::function<bool(std::u16string_view password)>;

}  // namespace brevalo
