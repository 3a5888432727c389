// Globally unique identifiers of COM classes and interfaces. The struct has the phone's memory
// layout (a 32-bit, two 16-bit fields and eight bytes, 16 bytes, no padding), so it can be
// handed to a shared object built from this header; the byte form below is the phone's
// little-endian one and is what goes into files.
#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace brevalo {

struct GUID {
  uint32_t Data1;
  uint16_t Data2;
  uint16_t Data3;
  uint8_t Data4[8];

  friend bool operator==(const GUID&, const GUID&) = default;
  friend auto operator<=>(const GUID&, const GUID&) = default;
};

static_assert(sizeof(GUID) == 16, "GUID is shared with libraries byte for byte");
static_assert(offsetof(GUID, Data2) == 4 && offsetof(GUID, Data3) == 6 &&
              offsetof(GUID, Data4) == 8);

using IID = GUID;
using CLSID = GUID;

constexpr size_t kGuidTextLength = 38;  // "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}"
constexpr size_t kGuidByteSize = 16;

// "{20F58816-51E4-418D-92DD-8390021DCDCA}": braces, hyphens, upper-case hex digits.
std::u16string FormatGuid(const GUID& guid);
// The same form with hex digits of either case; nothing for any other text (no spaces, no
// missing braces, exactly 38 characters).
std::optional<GUID> ParseGuid(std::u16string_view text);

// REQUIRES: out holds at least kGuidByteSize bytes.
void GuidToBytes(const GUID& guid, uint8_t* out);
// REQUIRES: bytes holds at least kGuidByteSize bytes.
GUID GuidFromBytes(const uint8_t* bytes);

}  // namespace brevalo
