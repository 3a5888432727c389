// The text of the program's list files: UTF-16 little-endian after a byte-order mark (FF FE),
// one line per entry, each ended by CR LF. The reader does not look at the first two bytes and
// takes a line in reads of at most kListLineChars characters: a longer line goes on in the next
// entry. The CR LF that ends a line never makes an entry of its own, whatever the line's length.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace brevalo {

inline constexpr size_t kListLineChars = 259;

// Every entry of the file in file order, each cut at its first CR. Survives any bytes; a
// trailing odd byte is ignored.
std::vector<std::u16string> ReadListLines(std::string_view bytes);
// FF FE, then each line followed by CR LF.
std::string WriteListLines(const std::vector<std::u16string>& lines);

}  // namespace brevalo
