// What the program's dialogs share beyond the document: the contact directory with the user's
// groups and the My Text sentences (one each per program, read on first use), the device's
// pictures for previews and a player for the sounds a dialog plays on request.
#pragma once

#include <memory>

#include "alert/file_source.h"
#include "device/device_paths.h"
#include "device/sound_player.h"
#include "send/contact_directory.h"
#include "send/list_file.h"
#include "send/sentence_list.h"

namespace brevalo {

class DialogServices {
 public:
  // The device must outlive the services.
  explicit DialogServices(const Device& device);
  DialogServices(const DialogServices&) = delete;
  DialogServices& operator=(const DialogServices&) = delete;

  // The groups file is read the first time; the contacts when a picker first lists them.
  ContactDirectory& Contacts();
  SentenceList& Sentences() { return sentences_; }
  FileSource& Pictures() { return pictures_; }
  SoundPlayer& Sounds() { return sounds_; }

 private:
  DeviceListFile groupFile_;
  DeviceListFile sentenceFile_;
  ContactDirectory contacts_;
  bool groupsLoaded_ = false;
  SentenceList sentences_;
  DeviceFileSource pictures_;
  SoundPlayer sounds_;
};

}  // namespace brevalo
