// \Windows\contacts.dll: the in-process server of the contacts class over the device's contact
// file, DIR/phone/contacts.vcf. It works on the device the loading process names through
// BrevaloSetDeviceFolder (the COM runtime does so when it maps the server).
#include <type_traits>

#include "device/com_server.h"
#include "device/contacts_objects.h"
#include "device/phone_contacts.h"
#include "device/phone_library_device.h"

namespace {

std::optional<std::vector<brevalo::Contact>> ReadDeviceContacts() {
  std::string error;
  return brevalo::PhoneContacts::Load(brevalo::PhoneLibraryDevice(), &error);
}

}  // namespace

BREVALO_LIBRARY_EXPORT brevalo::HRESULT DllGetClassObject(const brevalo::CLSID& clsid,
                                                          const brevalo::IID& iid, void** object) {
  return brevalo::GetContactsClassObject(clsid, iid, object, ReadDeviceContacts);
}

BREVALO_LIBRARY_EXPORT brevalo::HRESULT DllCanUnloadNow() {
  return brevalo::ContactsObjectsAlive() == 0 && brevalo::ContactsServerLocks() == 0
             ? brevalo::S_OK
             : brevalo::S_FALSE;
}

BREVALO_LIBRARY_EXPORT int32_t ContactsServerLiveObjects() { return brevalo::ContactsObjectsAlive(); }

static_assert(std::is_same_v<decltype(&DllGetClassObject), brevalo::DllGetClassObjectFunction>);
static_assert(std::is_same_v<decltype(&DllCanUnloadNow), brevalo::DllCanUnloadNowFunction>);
static_assert(std::is_same_v<decltype(&ContactsServerLiveObjects),
                             brevalo::ContactsServerLiveObjectsFunction>);
