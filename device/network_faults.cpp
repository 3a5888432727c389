#include "device/network_faults.h"

#include <algorithm>
#include <optional>

#include "device/registry.h"

namespace brevalo {

std::vector<std::u16string> SplitNetworkList(std::u16string_view text) {
  std::vector<std::u16string> entries;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = std::min(text.find(u';', start), text.size());
    std::u16string_view entry = text.substr(start, end - start);
    while (!entry.empty() && (entry.front() == u' ' || entry.front() == u'\t')) {
      entry.remove_prefix(1);
    }
    while (!entry.empty() && (entry.back() == u' ' || entry.back() == u'\t')) {
      entry.remove_suffix(1);
    }
    if (!entry.empty()) entries.emplace_back(entry);
    start = end + 1;
  }
  return entries;
}

std::vector<uint32_t> ParseAddressTypeList(std::u16string_view text) {
  std::vector<uint32_t> types;
  for (const std::u16string& entry : SplitNetworkList(text)) {
    uint64_t value = 0;
    bool digits = entry.size() <= 10;
    for (char16_t c : entry) {
      if (c < u'0' || c > u'9') digits = false;
      if (!digits) break;
      value = value * 10 + static_cast<uint64_t>(c - u'0');
    }
    if (digits && value <= UINT32_MAX) types.push_back(static_cast<uint32_t>(value));
  }
  return types;
}

NetworkFaults NetworkFaults::Read(const Device& device) {
  NetworkFaults faults;
  Registry registry(device.RegistryFile());
  if (!registry.Load()) return faults;
  faults.failOpen = registry.QueryDword(RegRoot::LocalMachine, kNetworkKey, kFailOpenValue)
                        .value_or(0) != 0;
  if (auto numbers = registry.QueryString(RegRoot::LocalMachine, kNetworkKey, kRejectNumbersValue)) {
    faults.rejectedNumbers = SplitNetworkList(*numbers);
  }
  if (auto types =
          registry.QueryString(RegRoot::LocalMachine, kNetworkKey, kRejectAddressTypesValue)) {
    faults.rejectedAddressTypes = ParseAddressTypeList(*types);
  }
  return faults;
}

bool NetworkFaults::RejectsNumber(std::u16string_view number) const {
  return std::find(rejectedNumbers.begin(), rejectedNumbers.end(), number) !=
         rejectedNumbers.end();
}

bool NetworkFaults::RejectsAddressType(uint32_t type) const {
  return std::find(rejectedAddressTypes.begin(), rejectedAddressTypes.end(), type) !=
         rejectedAddressTypes.end();
}

}  // namespace brevalo
