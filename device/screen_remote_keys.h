// The phone's hardware keys: their names on the remote control and in `phonesim key`, and the
// virtual-key codes the phone reports for them (hot keys are registered by these codes).
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace brevalo {

enum class PhoneKey : uint8_t {
  Soft1, Soft2, Back, Action, Up, Down, Left, Right,
  Digit0, Digit1, Digit2, Digit3, Digit4, Digit5, Digit6, Digit7, Digit8, Digit9,
  Star, Hash, VolumeUp, VolumeDown, Record, Home,
};

inline constexpr int kPhoneKeyCount = static_cast<int>(PhoneKey::Home) + 1;

// Virtual-key codes of the phone.
inline constexpr uint16_t VK_BACK_KEY = 0x1B;  // the Back key is the escape code
inline constexpr uint16_t VK_ACTION = 0x0D;
inline constexpr uint16_t VK_HOME_KEY = 0x24;
inline constexpr uint16_t VK_LEFT_KEY = 0x25;
inline constexpr uint16_t VK_UP_KEY = 0x26;
inline constexpr uint16_t VK_RIGHT_KEY = 0x27;
inline constexpr uint16_t VK_DOWN_KEY = 0x28;
inline constexpr uint16_t VK_SOFT1 = 0x70;
inline constexpr uint16_t VK_SOFT2 = 0x71;
inline constexpr uint16_t VK_VOLUME_UP = 0x75;
inline constexpr uint16_t VK_VOLUME_DOWN = 0x76;
inline constexpr uint16_t VK_STAR = 0x77;
inline constexpr uint16_t VK_HASH = 0x78;
inline constexpr uint16_t VK_RECORD = 0x79;

// "Soft1", "Down", "7", "Star" ...
std::string_view PhoneKeyName(PhoneKey key);
// Names are matched exactly; nothing for an unknown name.
std::optional<PhoneKey> PhoneKeyNamed(std::string_view name);

uint16_t VirtualKeyOf(PhoneKey key);
std::optional<PhoneKey> PhoneKeyOfVirtualKey(uint16_t virtualKey);

// 0..9 for the number keys, nothing for the others.
std::optional<int> DigitOf(PhoneKey key);

}  // namespace brevalo
