// Host names of the device's named kernel objects. Every device folder has a name space of its
// own, so two emulated phones on one machine never meet even when their programs use the same
// object names.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "device/device_paths.h"

namespace brevalo {

// Which family an object belongs to. A mutex and an event of the same name are different
// objects here; nothing on the phone relies on their clash.
enum class KernelObjectKind : uint32_t { kMutex = 1, kEvent = 2, kMapping = 3 };

// The POSIX shared-memory name ("/brevalo-...") for `name` on `device`: a hash of the device
// folder's canonical path, the kind, a hash of the UTF-16 name, and a readable ASCII tail for
// whoever looks into /dev/shm. Object names are case-sensitive, as on the phone.
std::string KernelObjectHostName(const Device& device, KernelObjectKind kind,
                                 std::u16string_view name);

// 64-bit FNV-1a; stable across runs and processes, which std::hash does not promise.
uint64_t StableHash(std::string_view bytes, uint64_t seed = 0xcbf29ce484222325ull);

}  // namespace brevalo
