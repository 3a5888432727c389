#include "device/contacts_registration.h"

#include "device/contacts_application.h"

namespace brevalo {

bool RegisterContactsServer(Registry& registry) {
  const std::u16string classKey = u"\\CLSID\\" + FormatGuid(CLSID_ContactsApplication);
  const std::u16string serverKey = classKey + u"\\InprocServer32";
  return registry.CreateKey(RegRoot::ClassesRoot, classKey) &&
         registry.SetString(RegRoot::ClassesRoot, classKey, u"", u"Contacts") &&
         registry.CreateKey(RegRoot::ClassesRoot, serverKey) &&
         registry.SetString(RegRoot::ClassesRoot, serverKey, u"", kContactsServerPath);
}

}  // namespace brevalo
