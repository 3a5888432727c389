// Entry points of the phone's message store: starting the messaging interface, logging on to a
// session over the device's DIR/phone/messages.db, and, for the messaging service itself, a
// store opened straight by name.
#pragma once

#include <filesystem>
#include <string_view>

#include "device/device_paths.h"
#include "device/mapi_interfaces.h"

namespace brevalo {

// Counted: each MAPIInitialize is matched by one MAPIUninitialize. `init` is ignored.
HRESULT MAPIInitialize(void* init);
void MAPIUninitialize();

// A session over the device's message database. Profile, password and flags are not
// checked (the phone has one profile). MAPI_E_NOT_INITIALIZED before MAPIInitialize,
// MAPI_E_LOGON_FAILED when the database cannot be opened.
HRESULT MAPILogonEx(ULONG_PTR uiParam, const char16_t* profileName, const char16_t* password,
                    ULONG flags, IMAPISession** session);

// The device that later logons of this process reach. Until it is called, logons use
// Device::ResolveDir("") ($VELMORA_DEVICE, else the default device folder).
void MapiUseDevice(const std::filesystem::path& dir);

// The store of that display name on the device, as the messaging service hands it to rule
// clients; MAPI_E_NOT_FOUND when the device has no such store.
HRESULT MapiOpenStore(const Device& device, std::u16string_view name, IMsgStore** store);

}  // namespace brevalo
