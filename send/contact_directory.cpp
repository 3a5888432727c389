#include "send/contact_directory.h"

#include <algorithm>

namespace brevalo {

std::u16string_view NumberKindLetter(int kind) {
  static constexpr std::u16string_view kLetters[kNumberKinds] = {u"M", u"H", u"W"};
  return kind >= 0 && kind < kNumberKinds ? kLetters[kind] : std::u16string_view();
}

std::optional<int> DirectoryContact::FirstKind() const {
  for (int kind = 0; kind < kNumberKinds; ++kind) {
    if (!numbers[static_cast<size_t>(kind)].empty()) return kind;
  }
  return std::nullopt;
}

int DirectoryContact::NextKind(int kind) const {
  for (int step = 1; step <= kNumberKinds; ++step) {
    int next = (kind + step) % kNumberKinds;
    if (!numbers[static_cast<size_t>(next)].empty()) return next;
  }
  return kind;
}

bool DirectoryContact::HasCategory(size_t category) const {
  return std::find(categories.begin(), categories.end(), category) != categories.end();
}

void ContactDirectory::EnsureLoaded() {
  if (needsLoading_) Refresh();
}

void ContactDirectory::Refresh() {
  contacts_.clear();
  categories_.clear();
  if (loader_) loader_(*this);
  needsLoading_ = false;
}

size_t ContactDirectory::CategoryIndex(std::u16string_view name) {
  auto found = std::find(categories_.begin(), categories_.end(), name);
  if (found != categories_.end()) return static_cast<size_t>(found - categories_.begin());
  categories_.emplace_back(name);
  return categories_.size() - 1;
}

void ContactDirectory::AddContact(std::u16string name, std::u16string_view categoriesText,
                                  std::array<std::u16string, kNumberKinds> numbers) {
  DirectoryContact contact{std::move(name), std::move(numbers), {}};
  for (size_t at = 0; !categoriesText.empty(); ++at) {
    size_t comma = std::min(categoriesText.find(u','), categoriesText.size());
    std::u16string_view piece = categoriesText.substr(0, comma);
    categoriesText.remove_prefix(std::min(comma + 1, categoriesText.size()));
    if (at > 0 && !piece.empty() && piece.front() == u' ') piece.remove_prefix(1);
    // An empty piece ("A,,B") names nothing the user could choose.
    if (piece.empty()) continue;
    size_t index = CategoryIndex(piece);
    if (!contact.HasCategory(index)) contact.categories.push_back(index);
  }
  contacts_.push_back(std::move(contact));
}

}  // namespace brevalo
