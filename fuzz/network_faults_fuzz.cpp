// Any text as the network fault lists of the registry: splitting and parsing stay within the
// text and give only trimmed, non-empty entries and numbers that were written in the text.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "device/network_faults.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::u16string text;
  for (size_t i = 0; i + 1 < size; i += 2) {
    text.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
  }
  for (const std::u16string& entry : brevalo::SplitNetworkList(text)) {
    if (entry.empty() || entry.front() == u' ' || entry.back() == u' ') std::abort();
    if (entry.find(u';') != std::u16string::npos) std::abort();
    if (text.find(entry) == std::u16string::npos) std::abort();
  }
  for (uint32_t type : brevalo::ParseAddressTypeList(text)) {
    if (text.find(std::u16string(u"") + static_cast<char16_t>(u'0' + type % 10)) ==
        std::u16string::npos) {
      std::abort();
    }
  }
  return 0;
}
