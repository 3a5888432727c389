// The device's file browser: a modal full-screen dialog that picks a file to open, a file name to
// save under, or a folder. It lists one device folder at a time: its sub-folders first (with ".."
// to go up, except at "\"), then the files that match the caller's patterns.
#pragma once

#include <optional>
#include <string>

#include "device/device_paths.h"

namespace brevalo {

class PhoneScreen;

enum class FileBrowserMode { kOpen, kSave, kChooseFolder };

struct FileBrowserRequest {
  FileBrowserMode mode;
  std::u16string title;
  std::u16string filter; /* "|"-separated pairs "Documents (*.kvt)|*.kvt|" */
  std::u16string defaultExtension; /* u"kvt", added in save mode when the name has none */
};

// Modal. Starts in lastDir; returns the chosen device path, or nothing; writes the folder it
// ended in back to lastDir.
std::optional<std::u16string> RunFileBrowser(PhoneScreen& screen, const Device& device,
    const FileBrowserRequest& request, std::u16string& lastDir);

}  // namespace brevalo
