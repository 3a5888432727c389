// What the file browser shows and accepts, without a screen: the caller's filter string, name
// patterns, size texts, the rows of one folder, moving between folders and checking a typed
// file name.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "device/device_folder.h"

namespace brevalo {

// One pair of a filter string: "Documents (*.kvt)" with its patterns {"*.kvt"}.
struct FileFilterChoice {
  std::u16string description;
  std::vector<std::u16string> patterns;  // from the second part, split at ';'
};

// "Documents (*.kvt)|*.kvt|All files (*.*)|*.*|": description and pattern alternate; a
// description without its pattern is dropped. An empty string gives no choice at all.
std::vector<FileFilterChoice> ParseFileFilter(std::u16string_view filter);

// '*' any run of characters, '?' one character, the rest compared as the phone compares names
// (case-insensitive). "*.*" takes names without a dot too, as the phone's does.
bool MatchesPattern(std::u16string_view name, std::u16string_view pattern);
// True when `patterns` is empty (no filter: every file).
bool MatchesAnyPattern(std::u16string_view name, const std::vector<std::u16string>& patterns);

// "512", "1.5KB", "2.0MB": bytes below 1 KB, then one decimal of KB below 1 MB, then MB.
std::u16string FileSizeText(uint64_t bytes);

struct BrowserRow {
  enum class Kind { kUp, kFolder, kFile };
  Kind kind;
  std::u16string name;      // ".." for the up row
  std::u16string sizeText;  // "Dir" for folders and the up row
};

inline constexpr std::u16string_view kUpRowName = u"..";
inline constexpr std::u16string_view kFolderSizeText = u"Dir";

// The rows of one folder: ".." unless at the root, the folders, then (when `withFiles`) the
// files that match `patterns`; each group by name, case-insensitively.
std::vector<BrowserRow> BrowserRows(const std::vector<DeviceFolderEntry>& entries,
                                    const std::vector<std::u16string>& patterns, bool atRoot,
                                    bool withFiles);

// Device folders are kept as "\" or "\A\B", without a trailing backslash.
std::u16string NormalFolder(std::u16string_view folder);
bool IsRootFolder(std::u16string_view folder);
std::u16string ParentFolder(std::u16string_view folder);  // "\" stays "\"
std::u16string ChildPath(std::u16string_view folder, std::u16string_view name);
// The last component of a folder ("B" of "\A\B"); empty at the root.
std::u16string FolderName(std::u16string_view folder);

enum class FileNameProblem { kNone, kEmpty, kBadCharacter, kReservedName };
// A name for one file in the current folder: not empty, none of \ / : * ? " < > | or control
// characters, not "." or "..". Leading and trailing blanks do not count.
FileNameProblem CheckFileName(std::u16string_view name);
std::u16string TrimBlanks(std::u16string_view text);
// Adds ".extension" when the name has no extension of its own.
std::u16string WithDefaultExtension(std::u16string_view name, std::u16string_view extension);

}  // namespace brevalo
