#include "alert/skin_list.h"

namespace brevalo {
namespace {

bool IsCfgFileName(std::u16string_view name) {
  constexpr std::u16string_view kExtension = u".cfg";
  if (name.size() < kExtension.size()) return false;
  std::u16string_view tail = name.substr(name.size() - kExtension.size());
  for (size_t i = 0; i < kExtension.size(); ++i) {
    char16_t c = tail[i];
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + (u'a' - u'A'));
    if (c != kExtension[i]) return false;
  }
  return true;
}

std::u16string SkinsFolder(std::u16string_view programFolder) {
  return std::u16string(programFolder) + u"skins\\";
}

}  // namespace

std::vector<std::u16string> SkinNames(DeviceFiles& files, std::u16string_view programFolder) {
  std::vector<std::u16string> names;
  std::optional<std::vector<DeviceFileEntry>> entries = files.List(SkinsFolder(programFolder));
  if (!entries) return names;
  for (const DeviceFileEntry& entry : *entries) {
    if (!entry.isFile || !IsCfgFileName(entry.name)) continue;
    std::u16string_view name = entry.name;
    name = name.substr(name.rfind(u'\\') == std::u16string_view::npos ? 0 : name.rfind(u'\\') + 1);
    names.emplace_back(name.substr(0, name.rfind(u'.')));
  }
  return names;
}

std::vector<std::u16string> SkinChoices(DeviceFiles& files, std::u16string_view programFolder,
                                        std::u16string_view defaultText) {
  std::vector<std::u16string> choices{std::u16string(defaultText)};
  for (std::u16string& name : SkinNames(files, programFolder)) choices.push_back(std::move(name));
  return choices;
}

std::u16string SkinPathOfChoice(std::u16string_view programFolder,
                                const std::vector<std::u16string>& choices, size_t position) {
  if (position == 0 || position >= choices.size()) return {};
  return SkinsFolder(programFolder) + choices[position] + u".cfg";
}

}  // namespace brevalo
