// The sound files of the random-ring folder: the "*.wav" files found in it, folders skipped, in
// the order the file system returns them. Built when the settings are loaded and when the Alert
// page is confirmed, not per message, so files added later are seen only after that.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "settings/device_files.h"

namespace brevalo {

class RandomSoundList {
 public:
  RandomSoundList() = default;  // no folder, nothing to play

  // An empty folder gives the empty list; so does a folder that cannot be listed.
  static RandomSoundList Build(DeviceFiles& files, std::u16string_view folder);

  // The folder, ending in a backslash also when the setting lacks it, so that the folder and a
  // name always make a path inside the folder.
  const std::u16string& Folder() const { return folder_; }
  const std::vector<std::u16string>& Names() const { return names_; }
  bool empty() const { return names_.empty(); }
  size_t size() const { return names_.size(); }

  // REQUIRES: index < size(). The folder followed by the name.
  std::u16string PathAt(size_t index) const { return folder_ + names_[index]; }

  friend bool operator==(const RandomSoundList&, const RandomSoundList&) = default;

 private:
  std::u16string folder_;
  std::vector<std::u16string> names_;
};

// Whether a file name matches "*.wav" as the phone's file search does: the extension compared
// without regard to case.
bool IsWaveFileName(std::u16string_view name);

}  // namespace brevalo
