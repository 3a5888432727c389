// The registry file's text form, one "[ROOT\key\path]" section per key and one line per value
// below it, in UTF-8:
//
//   [HKEY_CURRENT_USER\Software\Velmora]
//   @="default value"
//   "LastOpenFile"="\\My Documents\\sms.kvt"
//   "Count"=dword:0000000a
//   "Key"=hex:01,ff,\    <- a trailing backslash continues the list
//     20
//
// Strings escape "\\", "\"", "\n" and "\r". Lines starting with ";" are comments; the first line
// may be a format header.
#pragma once

#include <string>
#include <string_view>

#include "device/registry_tree.h"

namespace brevalo {

// Fills tree from text. On damage returns false with *error = "LINE: reason"; tree is then
// partly filled and must be thrown away.
bool ParseRegistryText(std::string_view text, RegistryTree* tree, std::string* error);
std::string FormatRegistryText(const RegistryTree& tree);

}  // namespace brevalo
