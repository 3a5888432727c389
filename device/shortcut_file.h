// The phone's shortcut files (".lnk"): one line of text in the device's ANSI code page, the
// number of characters of the target in decimal, "#", then the target itself, a command line
// made of a program path (quoted when it holds spaces) and its arguments:
//   52#\storage\loader.exe "\Program Files\Velmora\velmora.exe"
// The shell runs the shortcuts of the start-up folder (special folder 7) when the phone starts.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "device/code_page.h"
#include "device/device_paths.h"

namespace brevalo {

inline constexpr int CSIDL_STARTUP = 7;

// The device folder of a special folder, without a trailing backslash; nothing for a folder
// this phone does not have.
std::optional<std::u16string> SpecialFolderPath(int csidl);

// "N#target".
std::u16string FormatShortcut(std::u16string_view target);
// The target of a shortcut's text: the line up to its first CR or LF, cut to the count's length.
// Nothing when the count is missing, 0, or larger than what follows (a torn file).
std::optional<std::u16string> ParseShortcut(std::u16string_view text);

// Writes the shortcut at `path` (replacing one that is there); false when it cannot be written.
bool CreateShortcut(const Device& device, const CodePage& codePage, std::u16string_view path,
                    std::u16string_view target);
// The target of the shortcut at `path`; nothing when it is missing or not a shortcut.
std::optional<std::u16string> ReadShortcut(const Device& device, const CodePage& codePage,
                                           std::u16string_view path);

// A command line taken apart: the program (its quotes removed) and the rest, as the program
// receives it.
struct CommandLine {
  std::u16string program;
  std::u16string arguments;
};
CommandLine SplitCommandLine(std::u16string_view line);

}  // namespace brevalo
