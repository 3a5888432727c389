// Random 32-bit keys from the kernel (getrandom), used to scramble document fields.
#pragma once

#include <cstdint>

namespace brevalo {

uint32_t RandomKey();

}  // namespace brevalo
