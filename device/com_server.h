// The entry points an in-process server exports by name, with the platform's default C calling
// convention. A server defines them as extern "C" with exactly these types; the device looks
// them up with dlsym and calls them through these pointers.
#pragma once

#include "device/guid.h"
#include "device/hresult.h"

namespace brevalo {

using DllGetClassObjectFunction = HRESULT (*)(const CLSID& clsid, const IID& iid, void** object);
using DllCanUnloadNowFunction = HRESULT (*)();
using DllRegisterServerFunction = HRESULT (*)();
using DllUnregisterServerFunction = HRESULT (*)();

constexpr const char* kDllGetClassObject = "DllGetClassObject";
constexpr const char* kDllCanUnloadNow = "DllCanUnloadNow";
constexpr const char* kDllRegisterServer = "DllRegisterServer";
constexpr const char* kDllUnregisterServer = "DllUnregisterServer";

}  // namespace brevalo
