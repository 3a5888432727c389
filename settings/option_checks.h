// What the option pages show of stored values and what their OK accepts, without the windows:
// spin-list positions of stored numbers that may be out of range, and the number boxes read as
// the phone reads them (leading decimal digits; empty or not a number is 0).
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace brevalo {

// The title lists ("Summary", "Contact Summary", "Contact Time"): a stored value outside 0..2
// shows as 2.
int TitleChoiceOf(int32_t stored);
// The Security page's password list: a stored value outside 0..2 shows as 1.
int ProtectChoiceOf(int32_t stored);

// The number in a box: an optional sign and the decimal digits that start it, after blanks; 0
// when there are none. Digits beyond what 32 bits hold make the largest number of that sign.
int64_t BoxNumber(std::u16string_view text);

// A box that must hold a count from 1 to `largest` (minutes of the automatic save, the summary
// length): the count, or nothing when the page is to put the focus back into the box. 0 is
// refused as the page refuses it; so are a negative count and one the setting cannot keep.
std::optional<int32_t> PositiveBoxValue(std::u16string_view text, int32_t largest);

// A seconds box stored in milliseconds: nothing when the seconds are negative, too many for
// 32-bit milliseconds, or 0 where `zeroAllowed` is false.
std::optional<int32_t> SecondsBoxMs(std::u16string_view text, bool zeroAllowed);

}  // namespace brevalo
