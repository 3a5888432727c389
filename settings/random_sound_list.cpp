#include "settings/random_sound_list.h"

namespace brevalo {
namespace {

char16_t AsciiLower(char16_t c) {
  return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + (u'a' - u'A')) : c;
}

}  // namespace

bool IsWaveFileName(std::u16string_view name) {
  constexpr std::u16string_view kExtension = u".wav";
  if (name.size() < kExtension.size()) return false;
  const std::u16string_view tail = name.substr(name.size() - kExtension.size());
  for (size_t i = 0; i < kExtension.size(); ++i) {
    if (AsciiLower(tail[i]) != kExtension[i]) return false;
  }
  return true;
}

RandomSoundList RandomSoundList::Build(DeviceFiles& files, std::u16string_view folder) {
  RandomSoundList list;
  if (folder.empty()) return list;
  list.folder_.assign(folder);
  if (list.folder_.back() != u'\\') list.folder_.push_back(u'\\');
  std::optional<std::vector<DeviceFileEntry>> entries = files.List(list.folder_);
  if (!entries) return list;
  for (DeviceFileEntry& entry : *entries) {
    if (entry.isFile && IsWaveFileName(entry.name)) list.names_.push_back(std::move(entry.name));
  }
  return list;
}

}  // namespace brevalo
