// A number whose messages are discarded before any filter sees them.
#pragma once

#include <string>

namespace brevalo {

struct BlackListEntry {
  std::u16string name;
  // Kept as typed; "?" matches any one character, and it matches every sender number that ends
  // with it.
  std::u16string number;

  bool operator==(const BlackListEntry&) const = default;
};

}  // namespace brevalo
