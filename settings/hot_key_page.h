// What the Hotkey page edits, without its window: sixteen rows, one per main-window command a
// key can be bound to, each holding at most one key; capturing a key for the selected row; the
// names the page shows; and the binding list rebuilt from the rows when the page is left with
// OK. The page opens with the settings' bindings applied to the rows in list order, so a
// command bound more than once shows the last of its bindings.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "settings/hot_key_binding.h"

namespace brevalo {

// A row's key when it has none.
inline constexpr uint16_t kUnmappedKey = 0xFFFF;

struct HotKeyCommand {
  uint16_t command;
  std::u16string_view name;
};
// The rows of the page, in order.
extern const std::array<HotKeyCommand, 16> kHotKeyCommands;

struct CapturableKey {
  uint16_t virtualKey;
  std::u16string_view name;
};
// The keys the page listens for while capturing.
extern const std::array<CapturableKey, 20> kCapturableKeys;

// "(none)" for kUnmappedKey, the key's name for a capturable key, else "0x%dX" with the code in
// decimal (a binding stored by hand or by another release).
std::u16string HotKeyName(uint16_t key);

struct HotKeyRow {
  uint16_t command = 0;
  uint8_t modifiers = kHotKeyVirtual;
  uint16_t key = kUnmappedKey;
};

class HotKeyPage {
 public:
  // The rows filled from `bindings`; a binding of a command without a row is left out (it is
  // dropped when the page is left with OK).
  explicit HotKeyPage(const std::vector<HotKeyBinding>& bindings);

  const std::vector<HotKeyRow>& Rows() const { return rows_; }

  // Action on a row: the page listens for a key.
  void StartCapture() { capturing_ = true; }
  // Any other key notification, or Back, while capturing.
  void EndCapture() { capturing_ = false; }
  bool Capturing() const { return capturing_; }

  // A key captured for `row`: the same key with the same modifiers leaves any other row first,
  // then becomes the row's; capturing ends. Nothing while not capturing or for a row outside.
  void Captured(size_t row, uint16_t key, uint8_t modifiers);
  // Back outside capturing: the row's key goes.
  void Unmap(size_t row);
  // Every row without a key.
  void Reset();

  // The bindings of the rows that have a key, in row order.
  std::vector<HotKeyBinding> Bindings() const;

 private:
  std::vector<HotKeyRow> rows_;
  bool capturing_ = false;
};

}  // namespace brevalo
