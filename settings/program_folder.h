// Where the program lives on the device. The program folder holds the rules file, the sentence
// and group files and the skins and photo folders; paths built from it are device paths.
#pragma once

#include <string>
#include <string_view>

namespace brevalo {

inline constexpr std::u16string_view kProgramFile = u"\\Program Files\\Velmora\\velmora.exe";

// The folder of the program file, with its trailing backslash.
inline std::u16string ProgramFolder() {
  return std::u16string(kProgramFile.substr(0, kProgramFile.rfind(u'\\') + 1));
}

}  // namespace brevalo
