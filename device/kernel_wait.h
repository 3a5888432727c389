// Wait results, time-outs and last-error codes of the device's named kernel objects, with the
// values the phone gives them, so that code ported from the phone compares against the same
// numbers.
#pragma once

#include <cstdint>

namespace brevalo {

inline constexpr uint32_t INFINITE = 0xFFFFFFFFu;

inline constexpr uint32_t WAIT_OBJECT_0 = 0;
inline constexpr uint32_t WAIT_ABANDONED = 0x80;
inline constexpr uint32_t WAIT_TIMEOUT = 258;
inline constexpr uint32_t WAIT_FAILED = 0xFFFFFFFFu;

inline constexpr uint32_t ERROR_ALREADY_EXISTS = 183;

}  // namespace brevalo
