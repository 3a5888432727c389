// Programs of the device. A program file on the device ("\Program Files\Velmora\velmora.exe",
// "\storage\loader.exe") is a small text file whose last line ends in "runs as HOST-PATH": the
// host program that plays it. Starting a device program starts that host program with the
// device as its own (VELMORA_DEVICE) and the rest of the command line as its one argument, as
// the phone hands a program its command line. Started programs read nothing and write to
// DIR/log/programs.log.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "device/device_paths.h"

namespace brevalo {

// The text of a program file that `hostProgram` plays.
std::string ProgramFileText(std::string_view name, const std::filesystem::path& hostProgram);

// The absolute host path the text of a program file names; nothing when it names none.
std::optional<std::filesystem::path> ParseProgramFile(std::string_view text);

// The host program a device program file names; nothing when the file is missing, names no
// program, or the program is not an executable file.
std::optional<std::filesystem::path> HostProgramOf(const Device& device, std::u16string_view programPath);

// Starts the program of `commandLine` (a device program path, quoted when it holds spaces,
// then its arguments) without waiting for it. Its process id, or nothing with *error saying why.
std::optional<pid_t> StartDeviceProgram(const Device& device, std::u16string_view commandLine,
                                        std::string* error);

}  // namespace brevalo
