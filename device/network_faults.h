// The faults the emulated network plays, as the device registry sets them under
// HKEY_LOCAL_MACHINE\Device\Network (value names and forms in device/sms_library.h).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "device/device_paths.h"

namespace brevalo {

inline constexpr std::u16string_view kNetworkKey = u"Device\\Network";
inline constexpr std::u16string_view kFailOpenValue = u"FailOpen";
inline constexpr std::u16string_view kRejectNumbersValue = u"RejectNumbers";
inline constexpr std::u16string_view kRejectAddressTypesValue = u"RejectAddressTypes";

struct NetworkFaults {
  bool failOpen = false;
  std::vector<std::u16string> rejectedNumbers;
  std::vector<uint32_t> rejectedAddressTypes;

  // The faults now set on the device; none when the registry cannot be read, so that a damaged
  // registry does not look like a network that refuses everything.
  static NetworkFaults Read(const Device& device);

  bool RejectsNumber(std::u16string_view number) const;
  bool RejectsAddressType(uint32_t type) const;
};

// Entries of a ";"-separated list with surrounding blanks removed; empty entries dropped.
std::vector<std::u16string> SplitNetworkList(std::u16string_view text);
// The entries of such a list that are decimal numbers below 2^32; others are ignored.
std::vector<uint32_t> ParseAddressTypeList(std::u16string_view text);

}  // namespace brevalo
