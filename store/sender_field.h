// The sender of a received message as its record's number field can hold it: 51 bytes in the
// device's code page. A sender line that is too long keeps its number whole and gives up the end
// of its name instead; cutting the number would leave a different, valid looking one.
#pragma once

#include <string>
#include <string_view>

#include "device/code_page.h"

namespace brevalo {

struct SenderField {
  std::u16string text;  // what goes into the field; it fits
  // The field reads back as the whole number, and as the whole line or the line with the end of
  // its quoted name left off. False when the number alone does not fit or the code page lacks a
  // character: the document cannot hold this sender exactly.
  bool exact = false;
};

// `sender` is a bare number or a quoted name and a number: "\"Ann Lee\"<5550102>".
SenderField FitSenderToNumberField(const CodePage& page, std::u16string_view sender);

// True when `text` reads back unchanged from the device's code page.
bool CodePageHolds(const CodePage& page, std::u16string_view text);

}  // namespace brevalo
