// Code-point level steps of the UTF-8 and UTF-16 codecs, shared by CodePage and the free
// ToUtf8/FromUtf8 functions.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace brevalo {

// REQUIRES: *pos < text.size(). Advances *pos; nothing for an unpaired surrogate.
std::optional<char32_t> NextUtf16(std::u16string_view text, size_t* pos);
// REQUIRES: *pos < bytes.size(). Advances *pos; nothing for a malformed sequence, which is
// skipped one byte at a time.
std::optional<char32_t> NextUtf8(std::string_view bytes, size_t* pos);

std::string Utf16ToUtf8(std::u16string_view text, char32_t unpairedAs);
size_t Utf8EncodedLength(char32_t cp);
void AppendCodePointUtf8(char32_t cp, std::string* out);
void AppendCodePointUtf16(char32_t cp, std::u16string* out);

// The UTF-16 little-endian units of a list file after its first two bytes (the byte-order
// mark, not looked at); a trailing odd byte is no unit.
std::u16string UnitsAfterByteOrderMark(std::string_view bytes);

}  // namespace brevalo
