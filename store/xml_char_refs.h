// Character references that XML 1.0 forbids but backup programs write anyway: a character
// outside the Basic Multilingual Plane as the two halves of its UTF-16 surrogate pair
// ("&#55357;&#56832;"), and control characters ("&#1;"). The XML library refuses both, so the
// raw file is mended before it parses it, and what it hands back is mapped home afterwards.
#pragma once

#include <string>
#include <string_view>

namespace brevalo {

// The file with every such reference rewritten as one the library accepts: a pair as the one
// character it stands for, a lone half as U+FFFD, a control character (and U+FFFE, U+FFFF) as a
// stand-in from the last private-use plane that RestoreControlCharacters turns back. A pair keeps
// its length (zeros pad the hexadecimal digits), so lines and columns of later errors hold.
std::string MendCharacterReferences(std::string_view xml);

// Turns the stand-ins back into the characters they replaced.
std::u16string RestoreControlCharacters(std::u16string text);

// True for a character XML 1.0 cannot carry, not even as a reference.
bool OutsideXmlCharacters(char32_t c);

}  // namespace brevalo
