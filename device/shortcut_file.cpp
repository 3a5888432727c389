#include "device/shortcut_file.h"

#include "device/device_file.h"

namespace brevalo {
namespace {

// Longer targets than the phone's command lines can be are damage, not shortcuts.
constexpr size_t kLongestTarget = 4096;

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

}  // namespace

std::optional<std::u16string> SpecialFolderPath(int csidl) {
  if (csidl == CSIDL_STARTUP) return u"\\Windows\\StartUp";
  return std::nullopt;
}

std::u16string FormatShortcut(std::u16string_view target) {
  std::u16string text;
  for (char c : std::to_string(target.size())) text.push_back(static_cast<char16_t>(c));
  text.push_back(u'#');
  text.append(target);
  return text;
}

std::optional<std::u16string> ParseShortcut(std::u16string_view text) {
  size_t end = text.find_first_of(u"\r\n");
  if (end != std::u16string_view::npos) text = text.substr(0, end);
  size_t count = 0;
  size_t at = 0;
  for (; at < text.size() && text[at] >= u'0' && text[at] <= u'9'; ++at) {
    count = count * 10 + static_cast<size_t>(text[at] - u'0');
    if (count > kLongestTarget) return std::nullopt;
  }
  if (at == 0 || at >= text.size() || text[at] != u'#' || count == 0) return std::nullopt;
  std::u16string_view target = text.substr(at + 1);
  if (target.size() < count) return std::nullopt;
  return std::u16string(target.substr(0, count));
}

bool CreateShortcut(const Device& device, const CodePage& codePage, std::u16string_view path,
                    std::u16string_view target) {
  return ReplaceDeviceFile(device, path, codePage.FromUtf16(FormatShortcut(target)));
}

std::optional<std::u16string> ReadShortcut(const Device& device, const CodePage& codePage,
                                           std::u16string_view path) {
  DeviceFileContents contents = ReadDeviceFile(device, path);
  if (contents.state != DeviceFileState::kRead) return std::nullopt;
  return ParseShortcut(codePage.ToUtf16(contents.bytes));
}

CommandLine SplitCommandLine(std::u16string_view line) {
  size_t at = 0;
  while (at < line.size() && IsBlank(line[at])) ++at;
  CommandLine out;
  size_t end;
  if (at < line.size() && line[at] == u'"') {
    size_t close = line.find(u'"', at + 1);
    end = close == std::u16string_view::npos ? line.size() : close;
    out.program = std::u16string(line.substr(at + 1, end - at - 1));
    if (end < line.size()) ++end;  // past the closing quote
  } else {
    end = at;
    while (end < line.size() && !IsBlank(line[end])) ++end;
    out.program = std::u16string(line.substr(at, end - at));
  }
  while (end < line.size() && IsBlank(line[end])) ++end;
  out.arguments = std::u16string(line.substr(end));
  return out;
}

}  // namespace brevalo
