#include "app/dialog_services.h"

#include <string>

#include "send/groups_file.h"
#include "send/phone_contacts_loader.h"
#include "settings/program_folder.h"

namespace brevalo {

DialogServices::DialogServices(const Device& device)
    : groupFile_(device, ProgramFolder() + std::u16string(kGroupFileName)),
      sentenceFile_(device, ProgramFolder() + std::u16string(kSentenceFileName)),
      contacts_(PhoneContactsLoader(device)),
      sentences_(sentenceFile_),
      pictures_(device),
      sounds_(device) {}

ContactDirectory& DialogServices::Contacts() {
  if (!groupsLoaded_) {
    contacts_.Groups().Load(groupFile_);
    groupsLoaded_ = true;
  }
  return contacts_;
}

}  // namespace brevalo
