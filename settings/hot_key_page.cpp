#include "settings/hot_key_page.h"

#include <string>

namespace brevalo {

const std::array<HotKeyCommand, 16> kHotKeyCommands = {{
    {40001, u"View"},
    {40084, u"New File"},
    {40074, u"Open"},
    {40069, u"Save"},
    {40076, u"Close"},
    {40284, u"Empty Recycle Bin"},
    {40065, u"New Draft"},
    {40083, u"New SMS"},
    {40282, u"Forward"},
    {40080, u"Reply"},
    {40072, u"Delete"},
    {40041, u"Copy"},
    {40042, u"Cut"},
    {40058, u"Paste"},
    {40067, u"Node Property"},
    {40068, u"Node Password"},
}};

const std::array<CapturableKey, 20> kCapturableKeys = {{
    {0x0D, u"Action"},
    {0x25, u"Left"},
    {0x26, u"Up"},
    {0x27, u"Right"},
    {0x28, u"Down"},
    {0x30, u"0"},
    {0x31, u"1"},
    {0x32, u"2"},
    {0x33, u"3"},
    {0x34, u"4"},
    {0x35, u"5"},
    {0x36, u"6"},
    {0x37, u"7"},
    {0x38, u"8"},
    {0x39, u"9"},
    {0x77, u"*"},
    {0x78, u"#"},
    {0x75, u"Volumn Up"},
    {0x76, u"Volumn Down"},
    {0x79, u"Record"},
}};

std::u16string HotKeyName(uint16_t key) {
  if (key == kUnmappedKey) return u"(none)";
  for (const CapturableKey& capturable : kCapturableKeys) {
    if (capturable.virtualKey == key) return std::u16string(capturable.name);
  }
  std::u16string name = u"0x";
  for (char c : std::to_string(key)) name.push_back(static_cast<char16_t>(c));
  name.push_back(u'X');
  return name;
}

HotKeyPage::HotKeyPage(const std::vector<HotKeyBinding>& bindings) {
  for (const HotKeyCommand& command : kHotKeyCommands) rows_.push_back({command.command, kHotKeyVirtual, kUnmappedKey});
  for (const HotKeyBinding& binding : bindings) {
    for (HotKeyRow& row : rows_) {
      if (row.command == binding.command) {
        row.key = binding.key;
        row.modifiers = binding.modifiers;
      }
    }
  }
}

void HotKeyPage::Captured(size_t row, uint16_t key, uint8_t modifiers) {
  if (!capturing_ || row >= rows_.size()) return;
  capturing_ = false;
  modifiers |= kHotKeyVirtual;
  for (HotKeyRow& other : rows_) {
    if (other.key == key && other.modifiers == modifiers) other.key = kUnmappedKey;
  }
  rows_[row].key = key;
  rows_[row].modifiers = modifiers;
}

void HotKeyPage::Unmap(size_t row) {
  if (row < rows_.size()) rows_[row].key = kUnmappedKey;
}

void HotKeyPage::Reset() {
  for (HotKeyRow& row : rows_) row.key = kUnmappedKey;
}

std::vector<HotKeyBinding> HotKeyPage::Bindings() const {
  std::vector<HotKeyBinding> bindings;
  for (const HotKeyRow& row : rows_) {
    if (row.key != kUnmappedKey) bindings.push_back({row.modifiers, row.key, row.command});
  }
  return bindings;
}

}  // namespace brevalo
