// Case-insensitive comparison of UTF-16 names, as the phone compares file names, registry keys
// and contact names: ASCII, Latin-1, Latin Extended-A, Greek and Cyrillic capitals fold to their
// small letters; everything else compares as it is. Locale-free, so every process agrees.
#pragma once

#include <string>
#include <string_view>

namespace brevalo {

char16_t FoldCase(char16_t c);
std::u16string FoldCase(std::u16string_view text);
bool EqualsIgnoreCase(std::u16string_view a, std::u16string_view b);

}  // namespace brevalo
