// The phone's contacts as vCard text (DIR/phone/contacts.vcf): versions 3.0 and 4.0 are read,
// 3.0 is written. Only what the phone's contact list holds is kept: the display name (FN, else
// the given and family names of N), one mobile, one home and one work number
// (TEL;TYPE=CELL|HOME|WORK) and the categories. Everything else in a card is skipped.
//
// The reader takes any bytes: lines end in CR LF, LF or CR, folded lines are joined, property
// groups ("item1.TEL") and vCard 2.1's bare types ("TEL;CELL:") are accepted, values are UTF-8
// with the backslash escapes of 3.0 and 4.0, and a card cut off before its END line still
// counts. Nothing in the input can make it fail; what cannot be read is left out.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace brevalo {

struct Contact {
  std::u16string name;
  std::u16string mobile;  // empty: none
  std::u16string home;
  std::u16string work;
  std::vector<std::u16string> categories;

  friend bool operator==(const Contact&, const Contact&) = default;
};

// The contacts of every card, in file order.
std::vector<Contact> ParseVCards(std::string_view text);

// vCard 3.0 with CR LF line ends, lines folded at 75 bytes. Carriage returns inside values are
// dropped (vCard has no way to write them); line feeds are written as "\n". Empty numbers and
// empty categories are left out, so ParseVCards gives back exactly the same contacts otherwise.
std::string FormatVCards(const std::vector<Contact>& contacts);

// The categories as one text, separated by ", " (the form the phone's contact list shows).
std::u16string CategoriesText(const Contact& contact);

}  // namespace brevalo
