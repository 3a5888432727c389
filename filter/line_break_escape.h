// Keeps multi-line texts, and texts with backticks, on one line of the rules file. The codes are
// listed in rules_file_format.h; UnescapeLineBreaks(EscapeLineBreaks(t)) == t for every t.
#pragma once

#include <string>
#include <string_view>

namespace brevalo {

std::u16string EscapeLineBreaks(std::u16string_view text);
std::u16string UnescapeLineBreaks(std::u16string_view escaped);

// Position of the first "`s" that starts a code (not the second half of one), or npos.
size_t FindEscapedFieldSeparator(std::u16string_view escaped);

}  // namespace brevalo
