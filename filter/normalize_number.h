// Turns a sender text or a recipient entry into a bare number: blanks, "(", ")", "-" and ">" are
// dropped, and everything before the last "<" is discarded, so "\"Ann\" <+86 1-234>" gives
// "+861234". Shared by matching and by the SMS transport.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace brevalo {

// Room for the longest number plus its terminator.
inline constexpr size_t NormalizedNumberSize = 260;

// Writes at most outSize - 1 characters and a terminator into `out` and returns how many
// characters it wrote. Characters past the room are dropped, but a later "<" still starts over.
// `out` may be the buffer that `entry` views. Allocates nothing.
// REQUIRES: out holds outSize units, outSize >= 1.
size_t NormalizeNumber(std::u16string_view entry, char16_t* out, size_t outSize);

inline size_t NormalizeNumber(std::u16string_view entry, char16_t (&out)[NormalizedNumberSize]) {
  return NormalizeNumber(entry, out, NormalizedNumberSize);
}

}  // namespace brevalo
