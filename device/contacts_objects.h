// The objects behind the contacts class: the application, its contacts folder, the item
// collection and the items. The device's server (contacts_server.cpp) hands them out over the
// phone's contacts file; tests and fuzz targets make them over contacts of their own.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "device/contacts_application.h"
#include "device/vcard.h"

namespace brevalo {

// What Logon reads: every contact of the phone in its order, or nothing when they cannot be
// read. Called on the thread that logs on.
using ContactsReader = std::function<std::optional<std::vector<Contact>>()>;

// A new application object as `iid`, not logged on.
HRESULT CreateContactsApplication(ContactsReader reader, const IID& iid, void** object);
// The class object of the contacts class as `iid` (IClassFactory), whose objects read through
// `reader`; CLASS_E_CLASSNOTAVAILABLE for any other class.
HRESULT GetContactsClassObject(const CLSID& clsid, const IID& iid, void** object,
                               ContactsReader reader);

// Objects alive now (factories included) and server locks held: the server may go only when
// both are 0.
int32_t ContactsObjectsAlive();
int32_t ContactsServerLocks();

}  // namespace brevalo
