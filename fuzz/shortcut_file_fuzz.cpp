// Any bytes as the text of a shortcut file, each byte one character. Parsing never reads out of
// bounds; a target that parses is no longer than the text and formats back to a shortcut that
// parses to the same target; its command line splits without reading out of bounds.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "device/shortcut_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::u16string text(data, data + size);
  std::optional<std::u16string> target = brevalo::ParseShortcut(text);
  if (!target) return 0;
  if (target->empty() || target->size() > text.size()) std::abort();
  if (brevalo::ParseShortcut(brevalo::FormatShortcut(*target)) != target) std::abort();
  brevalo::CommandLine parts = brevalo::SplitCommandLine(*target);
  if (parts.program.size() + parts.arguments.size() > target->size()) std::abort();
  return 0;
}
