// The body of a message the program sent, saved as a draft or could not send: its recipients
// above the text, "Send To:<recipients>\r\n--------------------\r\n<text>". Recipients are
// entries separated by ";": a quoted name with the number in angle brackets ("\"Ann\"<5550100>")
// or a bare number.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "device/code_page.h"

namespace brevalo {

// The body of a recorded message is cut to this many bytes in the code page, with its zero.
inline constexpr size_t kSentContentCapacity = 5000;

// The body for `recipients` and `text`, cut at a character so that it takes at most
// kSentContentCapacity - 1 bytes in `page`.
std::u16string SentContent(const CodePage& page, std::u16string_view recipients,
                           std::u16string_view text);

// The part of the recipients that a sent message's title reads its name or number from: up to
// the first ";" or ">", or up to and with the first "<", which drops the number read so far.
std::u16string_view SentTitleContact(std::u16string_view recipients);

struct SentParts {
  std::u16string recipients;
  std::u16string text;
};
// The two parts of a body in the sent form; nothing for any other body (a received message).
std::optional<SentParts> ParseSentContent(std::u16string_view body);

struct RecipientNumber {
  std::u16string name;  // the quoted name; empty for a bare number
  std::u16string number;
};
// Every entry of a recipient list that has a number, in order.
std::vector<RecipientNumber> RecipientNumbers(std::u16string_view recipients);

}  // namespace brevalo
