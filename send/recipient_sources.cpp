#include "send/recipient_sources.h"

#include "send/phone_contacts_loader.h"

namespace brevalo {

RecipientSources::RecipientSources(const Device& device, std::u16string_view programFolder)
    : groupFile_(device, std::u16string(programFolder) + std::u16string(kGroupFileName)),
      sentenceFile_(device, std::u16string(programFolder) + std::u16string(kSentenceFileName)),
      directory_(PhoneContactsLoader(device)),
      sentences_(sentenceFile_) {
  directory_.Groups().Load(groupFile_);
}

}  // namespace brevalo
