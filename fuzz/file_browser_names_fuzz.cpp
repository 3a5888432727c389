// Names found on the device and typed by the user, against the browser's patterns: the input's
// UTF-16 units are split at the first NUL into a file name and a filter string. Nothing reads out
// of bounds or takes long; a name always matches "*" and itself; a name that passes the check
// stays one component of the folder it is saved in.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "ui/file_browser_listing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::u16string text;
  for (size_t i = 0; i + 1 < size; i += 2) text += static_cast<char16_t>(data[i] | (data[i + 1] << 8));
  size_t split = text.find(u'\0');
  std::u16string name = text.substr(0, split);
  std::u16string filter = split == std::u16string::npos ? std::u16string() : text.substr(split + 1);

  using namespace brevalo;
  if (!MatchesPattern(name, u"*")) std::abort();
  if (name.find_first_of(u"*?") == std::u16string::npos && !MatchesPattern(name, name)) std::abort();
  for (const FileFilterChoice& choice : ParseFileFilter(filter)) {
    MatchesAnyPattern(name, choice.patterns);
  }
  if (CheckFileName(name) == FileNameProblem::kNone) {
    std::u16string path = ChildPath(u"\\Folder", WithDefaultExtension(TrimBlanks(name), u"kvt"));
    if (ParentFolder(path) != u"\\Folder") std::abort();
  }
  NormalFolder(filter);
  ParentFolder(filter);
  FolderName(filter);
  return 0;
}
