// Recipient entries: a quoted name with the number in angle brackets ("\"Ann\"<5550100>"), or a
// bare number; a recipient list holds entries separated by ";".
#pragma once

#include <string>
#include <string_view>

namespace brevalo {

struct RecipientName {
  std::u16string name;    // the quoted name, else the number, without blanks, brackets, hyphens
  std::u16string number;
  bool quoted = false;    // a quoted name was found
};

// Reads the first entry of `recipients` (up to ";" or ">") for showing it to the user.
RecipientName RecipientDisplayName(std::u16string_view recipients);

// One entry as the contact picker appends it to a list: ";\"name\"<number>".
std::u16string RecipientEntry(std::u16string_view name, std::u16string_view number);

}  // namespace brevalo
