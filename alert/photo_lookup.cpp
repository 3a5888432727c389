#include "alert/photo_lookup.h"

namespace brevalo {
namespace {

bool CanBeFileName(std::u16string_view name) {
  if (name == u"." || name == u"..") return false;
  for (char16_t c : name) {
    if (c < 0x20 || std::u16string_view(u"\\/:*?\"<>|").find(c) != std::u16string_view::npos) return false;
  }
  return true;
}

}  // namespace

std::vector<std::u16string> PhotoCandidates(const PhotoRequest& request) {
  std::vector<std::u16string> paths;
  if (request.contact && !request.sender.empty() && CanBeFileName(request.sender)) {
    for (std::u16string_view extension : {u".bmp", u".gif", u".jpg"}) {
      paths.push_back(request.photoFolder + request.sender + std::u16string(extension));
    }
  }
  if (!request.picture.empty()) paths.push_back(request.picture);
  if (!request.defaultPhoto.empty()) paths.push_back(request.defaultPhoto);
  return paths;
}

std::optional<FoundPhoto> FindPhoto(FileSource& files, const PhotoRequest& request) {
  for (std::u16string& path : PhotoCandidates(request)) {
    if (std::optional<std::string> bytes = files.Read(path)) return FoundPhoto{std::move(path), std::move(*bytes)};
  }
  return std::nullopt;
}

}  // namespace brevalo
