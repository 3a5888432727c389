#include "settings/hot_key_binding.h"

#include <optional>
#include <string>

#include "settings/untyped_value.h"

namespace brevalo {
namespace {

constexpr uint32_t kMissing = 0xFFFFFFFF;
constexpr RegRoot kRoot = RegRoot::CurrentUser;

std::u16string PositionName(std::u16string_view prefix, int position) {
  std::u16string name(prefix);
  for (char c : std::to_string(position)) name.push_back(static_cast<char16_t>(c));
  return name;
}

// A value that cannot be read keeps the all-bits-set mark, as one stored with all bits set does.
uint32_t ReadPart(Registry& registry, std::u16string_view prefix, int position) {
  std::optional<RegValue> value = registry.Query(kRoot, kHotKeyKey, PositionName(prefix, position));
  if (!value) return kMissing;
  return ReadUntypedDword(*value).value_or(kMissing);
}

}  // namespace

std::vector<HotKeyBinding> LoadHotKeyBindings(Registry& registry) {
  std::vector<HotKeyBinding> bindings;
  if (!registry.KeyExists(kRoot, kHotKeyKey)) return bindings;
  for (int i = 0; i < kHotKeyPositions; ++i) {
    const uint32_t modifiers = ReadPart(registry, u"KeyVirt", i);
    const uint32_t key = ReadPart(registry, u"KeyCode", i);
    const uint32_t command = ReadPart(registry, u"KeyCmd", i);
    if (modifiers == kMissing || key == kMissing || command == kMissing) continue;
    bindings.push_back({static_cast<uint8_t>(modifiers & 0xFF), static_cast<uint16_t>(key & 0xFFFF),
                        static_cast<uint16_t>(command & 0xFFFF)});
  }
  return bindings;
}

bool SaveHotKeyBindings(Registry& registry, const std::vector<HotKeyBinding>& bindings) {
  // Deleting first drops the positions of a longer list saved before, which would otherwise
  // come back as bindings on the next load.
  if (registry.KeyExists(kRoot, kHotKeyKey) && !registry.DeleteKey(kRoot, kHotKeyKey)) return false;
  if (!registry.CreateKey(kRoot, kHotKeyKey)) return false;
  bool stored = true;
  for (size_t i = 0; i < bindings.size(); ++i) {
    const int position = static_cast<int>(i);
    const HotKeyBinding& binding = bindings[i];
    stored =
        registry.SetDword(kRoot, kHotKeyKey, PositionName(u"KeyVirt", position),
                          binding.modifiers) &&
        registry.SetDword(kRoot, kHotKeyKey, PositionName(u"KeyCode", position), binding.key) &&
        registry.SetDword(kRoot, kHotKeyKey, PositionName(u"KeyCmd", position), binding.command) &&
        stored;
  }
  return stored;
}

}  // namespace brevalo
