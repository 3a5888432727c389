// The contacts class in the device registry: HKEY_CLASSES_ROOT\CLSID\{...}\InprocServer32 names
// \Windows\contacts.dll, which `phonesim init` installs.
#pragma once

#include <string_view>

#include "device/registry.h"

namespace brevalo {

inline constexpr std::u16string_view kContactsServerPath = u"\\Windows\\contacts.dll";

bool RegisterContactsServer(Registry& registry);

}  // namespace brevalo
