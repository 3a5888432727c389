// The texts the property dialogs show and the fields they write: authors in the document's
// code page, dates as the user's date and time, the template of a new document's header.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "device/code_page.h"
#include "device/registry.h"
#include "store/store_format.h"

namespace brevalo {

// The author edits take 16 characters; a node's author keeps 15 of them, so that its 16-byte
// field always ends with a terminator.
inline constexpr int kAuthorEditChars = 16;
inline constexpr size_t kRecordAuthorKeptChars = 15;

// The device's code page by number, UTF-8 when iconv does not know it.
CodePage DocumentCodePage(uint32_t codePage);

// A new document's header as the store expects it: the author (at most 15 bytes in `page`,
// cut at a character) and an empty password; everything else zero, the store sets the rest.
StoreHeader NewHeaderTemplate(std::u16string_view author, const CodePage& page);

// The first 15 characters of a typed author (never half a surrogate pair).
std::u16string KeptRecordAuthor(std::u16string_view typed);

// The user's short date, a blank and the user's time; empty for a date that is no moment.
std::u16string DocumentDateText(Registry& registry, double oleDate);

}  // namespace brevalo
