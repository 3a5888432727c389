// The New File dialog: where the new document goes, its author, its password and whether it
// gets a recycle bin. It creates nothing itself; the caller creates the file from the header template.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "device/device_paths.h"
#include "store/store_format.h"

namespace brevalo {

class PhoneScreen;

struct NewFileChoice {
  std::u16string path;         // full device path, with its extension
  StoreHeader headerTemplate;  // the author and the password; the store sets the rest
  bool createRecycleBin;
};

// Modal. lastDir is where "Browse..." starts and is updated to where it ended. The author is
// stored in `codePage`, cut to its 16-byte field.
std::optional<NewFileChoice> RunNewFileDialog(PhoneScreen& screen, const Device& device,
                                              std::u16string& lastDir, uint32_t codePage);

}  // namespace brevalo
