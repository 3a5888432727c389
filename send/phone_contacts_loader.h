// Loading the contact directory from the phone: the contacts class is created through the
// device's COM activation, logged on to without a window, and read item by item from its
// default contacts folder. Whatever fails on the way leaves the directory with what was read
// before the failure (nothing when the class cannot be created or logged on to).
#pragma once

#include "device/contacts_application.h"
#include "device/device_paths.h"
#include "send/contact_directory.h"

namespace brevalo {

// Reads the items of a logged-on application into the directory, in the phone's order.
HRESULT ReadContactItems(IContactsApplication& application, ContactDirectory& directory);

// A loader for ContactDirectory over the device's registered contacts class; the device must
// outlive the directory.
ContactDirectory::Loader PhoneContactsLoader(const Device& device);

}  // namespace brevalo
