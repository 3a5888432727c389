#include "device/screen_remote_keys.h"

#include <array>

namespace brevalo {
namespace {

struct KeyInfo {
  std::string_view name;
  uint16_t virtualKey;
};

constexpr std::array<KeyInfo, kPhoneKeyCount> kKeys = {{
    {"Soft1", VK_SOFT1},     {"Soft2", VK_SOFT2},
    {"Back", VK_BACK_KEY},   {"Action", VK_ACTION},
    {"Up", VK_UP_KEY},       {"Down", VK_DOWN_KEY},
    {"Left", VK_LEFT_KEY},   {"Right", VK_RIGHT_KEY},
    {"0", 0x30},             {"1", 0x31},
    {"2", 0x32},             {"3", 0x33},
    {"4", 0x34},             {"5", 0x35},
    {"6", 0x36},             {"7", 0x37},
    {"8", 0x38},             {"9", 0x39},
    {"Star", VK_STAR},       {"Hash", VK_HASH},
    {"VolumeUp", VK_VOLUME_UP}, {"VolumeDown", VK_VOLUME_DOWN},
    {"Record", VK_RECORD},   {"Home", VK_HOME_KEY},
}};

}  // namespace

std::string_view PhoneKeyName(PhoneKey key) { return kKeys[static_cast<size_t>(key)].name; }

std::optional<PhoneKey> PhoneKeyNamed(std::string_view name) {
  for (size_t i = 0; i < kKeys.size(); ++i) {
    if (kKeys[i].name == name) return static_cast<PhoneKey>(i);
  }
  return std::nullopt;
}

uint16_t VirtualKeyOf(PhoneKey key) { return kKeys[static_cast<size_t>(key)].virtualKey; }

std::optional<PhoneKey> PhoneKeyOfVirtualKey(uint16_t virtualKey) {
  for (size_t i = 0; i < kKeys.size(); ++i) {
    if (kKeys[i].virtualKey == virtualKey) return static_cast<PhoneKey>(i);
  }
  return std::nullopt;
}

std::optional<int> DigitOf(PhoneKey key) {
  int index = static_cast<int>(key);
  int first = static_cast<int>(PhoneKey::Digit0);
  if (index < first || index > first + 9) return std::nullopt;
  return index - first;
}

}  // namespace brevalo
