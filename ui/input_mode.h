// Edit input modes of the phone: numbers, or letters entered by multi-tap on the number keys
// (pressing 2 three times gives "c"), lower case or capitals. Hash steps through the modes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "device/screen_remote_keys.h"

namespace brevalo {

enum class InputMode : uint8_t { Letters, Capitals, Numbers };

// "abc", "ABC", "123": what the status strip shows.
std::u16string_view InputModeLabel(InputMode mode);
InputMode NextInputMode(InputMode mode);

// A press pauses this long before the next press of the same key starts a new letter.
inline constexpr int64_t kMultiTapTimeoutMs = 1000;

// The letters of one number key in lower case; the key's digit comes last.
std::u16string_view MultiTapLetters(PhoneKey key);

// Turns number-key presses into text edits. Time is passed in, so that tests need no clock.
class MultiTap {
 public:
  struct Edit {
    bool replacesPrevious = false;  // the character typed by the last press is replaced
    char16_t character = 0;
  };

  // The edit for a press of `key` at `nowMs` in `mode`; nothing for keys that type nothing
  // (Hash switches modes and is the caller's).
  std::optional<Edit> Press(PhoneKey key, InputMode mode, int64_t nowMs);
  // Ends the letter being chosen (focus moved, cursor moved, other input).
  void Commit() { pending_ = false; }
  bool Pending(int64_t nowMs) const { return pending_ && nowMs - lastPressMs_ < kMultiTapTimeoutMs; }

 private:
  bool pending_ = false;
  PhoneKey lastKey_ = PhoneKey::Digit0;
  int64_t lastPressMs_ = 0;
  size_t index_ = 0;
};

}  // namespace brevalo
