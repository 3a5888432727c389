// The program's copy of the phone's contacts, with the categories they carry and the user's
// groups. One per program; the contacts are loaded on first use and again by Refresh.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "send/group_list.h"

namespace brevalo {

enum NumberKind : int { kMobileNumber = 0, kHomeNumber = 1, kWorkNumber = 2 };
inline constexpr int kNumberKinds = 3;

// "M", "H" or "W".
std::u16string_view NumberKindLetter(int kind);

struct DirectoryContact {
  std::u16string name;
  std::array<std::u16string, kNumberKinds> numbers;  // by kind; empty: none
  std::vector<size_t> categories;                    // indexes into the directory's categories

  // The first kind that has a number, in the order mobile, home, work; nothing without any.
  std::optional<int> FirstKind() const;
  // The next kind after `kind` that has a number, round again; `kind` itself when it is the
  // only one.
  int NextKind(int kind) const;
  bool HasCategory(size_t category) const;
};

class ContactDirectory {
 public:
  // Fills the directory (empty when called) through AddContact. A loader that cannot reach
  // the phone's contacts adds nothing.
  using Loader = std::function<void(ContactDirectory&)>;

  explicit ContactDirectory(Loader loader) : loader_(std::move(loader)) {}
  ContactDirectory(const ContactDirectory&) = delete;
  ContactDirectory& operator=(const ContactDirectory&) = delete;

  // Loads the contacts when they have not been loaded yet.
  void EnsureLoaded();
  // Forgets contacts and categories and loads them again.
  void Refresh();
  bool NeedsLoading() const { return needsLoading_; }

  // Appends a contact. `categoriesText` is cut at ","; every piece after the first loses one
  // leading blank; each distinct piece becomes a category, in order of first appearance.
  void AddContact(std::u16string name, std::u16string_view categoriesText,
                  std::array<std::u16string, kNumberKinds> numbers);

  const std::vector<DirectoryContact>& Contacts() const { return contacts_; }
  const std::vector<std::u16string>& Categories() const { return categories_; }
  GroupList& Groups() { return groups_; }
  const GroupList& Groups() const { return groups_; }

 private:
  size_t CategoryIndex(std::u16string_view name);

  Loader loader_;
  std::vector<DirectoryContact> contacts_;
  std::vector<std::u16string> categories_;
  GroupList groups_;
  bool needsLoading_ = true;
};

}  // namespace brevalo
