// The user's groups of recipients, kept in the groups file (send/groups_file.h) and saved whole
// after every change.
#pragma once

#include <cstddef>
#include <vector>

#include "send/groups_file.h"
#include "send/list_file.h"

namespace brevalo {

class GroupList {
 public:
  GroupList() = default;
  GroupList(const GroupList&) = delete;
  GroupList& operator=(const GroupList&) = delete;

  // Remembers the file (which must outlive the list) and reads it. A missing file is written
  // at once holding only the byte-order mark; one that is there but cannot be read leaves the
  // list empty and is not touched, since it may still hold the user's groups.
  void Load(ListFile& file);
  // False when there is no file or it cannot be written; the list stays as it is.
  bool Save() const;

  const std::vector<Group>& Groups() const { return groups_; }
  // A new group without members at the front of the list.
  void AddGroup(std::u16string name);
  // Each is false for an index outside the list.
  bool DeleteGroup(size_t group);
  bool AddMember(size_t group, GroupMember member);
  bool DeleteMember(size_t group, size_t member);

 private:
  ListFile* file_ = nullptr;
  std::vector<Group> groups_;
};

}  // namespace brevalo
