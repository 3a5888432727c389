// The settings are read the way the phone reads a registry value into a buffer of fixed size:
// the stored type is not looked at, only the stored bytes and whether they fit. A REG_SZ holds
// its UTF-16LE characters and the terminator, a REG_DWORD its four little-endian bytes, a
// REG_BINARY its bytes as they are.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "device/registry.h"

namespace brevalo {

// The bytes a value would hand to a reader.
std::vector<uint8_t> UntypedBytes(const RegValue& value);

// A 32-bit number from at most four bytes, little-endian, missing high bytes zero. Nothing when
// the value holds no bytes or more than four.
std::optional<uint32_t> ReadUntypedDword(const RegValue& value);

// Text for a buffer of `capacity` characters plus the terminator: nothing when the bytes do not
// fit that buffer. The text ends at the first NUL and never exceeds capacity characters, also
// when the bytes bring no terminator; an odd last byte is not half a character and is dropped.
std::optional<std::u16string> ReadUntypedText(const RegValue& value, size_t capacity);

}  // namespace brevalo
