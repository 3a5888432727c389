// Document and node passwords as the user types them and as the document keeps them. The user
// types up to 11 characters and the first 10 count, both when a password is set and when it is
// given again, so typing the same 11 characters later still opens. The document keeps a
// password in a 12-byte field in the device's code page; one that does not come back from that
// field exactly could never be typed again, so it is refused before it is stored.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "device/code_page.h"

namespace brevalo {

// What a password box takes while typing, and how many of those characters count.
inline constexpr size_t kPasswordEditChars = 11;
inline constexpr size_t kPasswordTakenChars = 10;

// The part of a typed password that counts: its first 10 characters (UTF-16 units, never
// ending inside a surrogate pair).
std::u16string TakenPassword(std::u16string_view typed);

// True when `typed` opens what `stored` protects: its counted part, or all of it, equals the
// stored password exactly, case and all. The whole of it counts too because the field holds 11
// bytes, and a document written elsewhere may keep 11 characters there.
bool PasswordMatches(std::u16string_view typed, std::u16string_view stored);

// True when `password` can be kept in a 12-byte password field in `page` and read back
// unchanged: at most 11 bytes, and no character the code page lacks.
bool FitsPasswordField(const CodePage& page, std::u16string_view password);

}  // namespace brevalo
