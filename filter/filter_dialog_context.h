// What the filter dialogs need of the program around them: the contacts and sentences to pick
// from, the skins and pictures on the device, the folder the file browser starts in, the
// default photo of the preview and a way to play a sound.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "alert/file_source.h"
#include "device/device_paths.h"
#include "send/contact_directory.h"
#include "send/sentence_list.h"
#include "settings/device_files.h"

namespace brevalo {

struct FilterDialogContext {
  const Device& device;
  ContactDirectory& contacts;
  SentenceList& sentences;
  DeviceFiles& files;         // lists the skins
  FileSource& pictures;       // reads the preview's skin and photo
  std::u16string programFolder;
  std::u16string& lastDir;    // where the file browser starts; it writes back where it ended
  std::u16string defaultPhoto;
  // Plays a sound file without waiting for it.
  std::function<void(std::u16string_view path)> playSound;
};

}  // namespace brevalo
