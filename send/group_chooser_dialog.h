// The group chooser (dialog 164, "Member Setting"): the groups, with an edit and "Add" to make a
// new one at the top and "Delete" to remove one. The picker's Add to Group... opens it.
#pragma once

#include <cstddef>
#include <optional>

#include "send/group_list.h"

namespace brevalo {

class PhoneScreen;

struct GroupChoice {
  int result = 2;                // 1 with a chosen group, else 2
  std::optional<size_t> group;   // into the list, as it is after the dialog
  bool changed = false;          // groups were added or deleted (and saved)
};

GroupChoice RunGroupChooser(PhoneScreen& screen, GroupList& groups);

}  // namespace brevalo
