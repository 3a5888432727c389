// One binding of a hardware key to a main-window command, and the binding list's registry form:
// under Software\Velmora\Key, three REG_DWORD values per position i, "KeyVirt<i>" (modifiers),
// "KeyCode<i>" (key) and "KeyCmd<i>" (command), i in decimal without leading zeros.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "device/registry.h"

namespace brevalo {

// Accelerator flags of HotKeyBinding::modifiers.
inline constexpr uint8_t kHotKeyVirtual = 1;  // always set
inline constexpr uint8_t kHotKeyShift = 4;
inline constexpr uint8_t kHotKeyControl = 8;
inline constexpr uint8_t kHotKeyAlt = 16;

struct HotKeyBinding {
  uint8_t modifiers = kHotKeyVirtual;
  uint16_t key = 0;      // virtual-key code
  uint16_t command = 0;  // menu command identifier the key sends

  friend bool operator==(const HotKeyBinding&, const HotKeyBinding&) = default;
};

inline constexpr std::u16string_view kHotKeyKey = u"Software\\Velmora\\Key";
// Positions 0 to 98 are read; a list saved longer keeps its tail only until the next load.
inline constexpr int kHotKeyPositions = 99;

// Every position whose three values read as numbers other than all bits set, in position order;
// gaps are skipped, not the end of the list. Empty when the key is missing.
std::vector<HotKeyBinding> LoadHotKeyBindings(Registry& registry);

// Replaces the Key sub-key by one holding the list at positions 0, 1, 2 ... False when the
// registry refused a change; the list is then stored partly or not at all.
bool SaveHotKeyBindings(Registry& registry, const std::vector<HotKeyBinding>& bindings);

}  // namespace brevalo
