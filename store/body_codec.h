// Message bodies, the bytes that follow a record whose has-body flag is 1:
//   formats 0, 1: N (32-bit), then N bytes of ANSI text, the first N / 4 words scrambled with
//                 NOT K of the record
//   format 3:     C, T (32-bit each), then C bytes of a zlib stream of T bytes of ANSI text that
//                 ends with its zero byte
//   other:        nothing follows
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "device/code_page.h"
#include "store/store_file.h"

namespace brevalo {

// No message comes near this; a larger size word is damage and must not size an allocation.
inline constexpr uint32_t kMaxBodyTextSize = 64u << 20;

// A body exactly as stored, size words included, ready to be copied to another file.
struct StoredBody {
  std::vector<uint8_t> bytes;
};

// The stored body of format 3 for `ansiText`, which carries its terminating zero byte. Nothing when
// the text is too large or compression fails.
std::optional<StoredBody> CompressBody(std::string_view ansiText);

// Reads the stored body at `offset` (directly behind its record). An empty body for the formats
// that carry none; nothing when the bytes are short or the size words cannot be right.
std::optional<StoredBody> ReadStoredBody(StoreFile& file, uint64_t offset, uint32_t format);

// True when a format 3 body is one whole compressed stream that gives exactly the text size it
// names: what a body that was written completely looks like, and random bytes almost never do.
bool InflatesWhole(const StoredBody& body);

// The ANSI text of a stored body: T bytes for format 3 (what inflates, zero-filled behind it when
// the stream ends early), N unscrambled bytes for formats 0 and 1, nothing else for the others.
std::string DecodeBody(const StoredBody& body, uint32_t format, uint32_t recordKey);

// The text up to its first zero byte, in UTF-16; and UTF-16 text as ANSI with its zero byte.
std::u16string BodyTextToUtf16(const CodePage& codePage, std::string_view ansiText);
std::string BodyTextFromUtf16(const CodePage& codePage, std::u16string_view text);

}  // namespace brevalo
