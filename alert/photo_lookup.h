// Which picture the pop-up shows for a message: a contact's own photo in the photo folder
// ("NAME.bmp", then ".gif", then ".jpg"), else the picture the filter names, else the default
// photo; the first of them that can be read is the one.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "alert/file_source.h"

namespace brevalo {

struct PhotoRequest {
  std::u16string sender;        // the sender line: a contact's display name when `contact`
  bool contact = false;
  std::u16string picture;       // the filter's photo, or empty
  std::u16string photoFolder;   // PhotoFolder, ending in a backslash
  std::u16string defaultPhoto;  // defaultPhoto, or empty
};

// The paths to try, in order. A sender line that could not be a file name (it holds a folder
// separator or another character that file names cannot have) has no contact photo.
std::vector<std::u16string> PhotoCandidates(const PhotoRequest& request);

struct FoundPhoto {
  std::u16string path;
  std::string bytes;
};

// The first candidate that can be read; nothing when none can.
std::optional<FoundPhoto> FindPhoto(FileSource& files, const PhotoRequest& request);

}  // namespace brevalo
