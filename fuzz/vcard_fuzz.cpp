// Any bytes as the phone's contact file: reading never fails, and what was read is written and
// read back as the same contacts.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "device/vcard.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  std::vector<brevalo::Contact> contacts = brevalo::ParseVCards(text);
  // Values read from a file never hold a carriage return; written, they come back whole.
  std::string written = brevalo::FormatVCards(contacts);
  std::vector<brevalo::Contact> again = brevalo::ParseVCards(written);
  for (brevalo::Contact& contact : contacts) {
    std::erase(contact.categories, std::u16string());
  }
  if (again != contacts) std::abort();
  return 0;
}
