// Where the compose window finds recipients and sentences: the contact directory with the
// groups file, and the My Text list with its file, both in the program folder of the device.
// One per program; the contacts are read on first use, the sentences when My Text first opens.
#pragma once

#include "device/device_paths.h"
#include "send/contact_directory.h"
#include "send/groups_file.h"
#include "send/list_file.h"
#include "send/sentence_list.h"

namespace brevalo {

class RecipientSources {
 public:
  // The device must outlive this; `programFolder` ends in a backslash.
  RecipientSources(const Device& device, std::u16string_view programFolder);
  RecipientSources(const RecipientSources&) = delete;
  RecipientSources& operator=(const RecipientSources&) = delete;

  ContactDirectory& Contacts() { return directory_; }
  SentenceList& Sentences() { return sentences_; }

 private:
  DeviceListFile groupFile_;
  DeviceListFile sentenceFile_;
  ContactDirectory directory_;
  SentenceList sentences_;
};

}  // namespace brevalo
