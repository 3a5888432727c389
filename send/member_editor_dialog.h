// The member editor of a group: the black-list dialog (dialog 151) without its "Contact"
// button, with a "Name" and a "Phone" edit, "Add", and the members' names and numbers.
#pragma once

#include <cstddef>

#include "send/group_list.h"

namespace brevalo {

class PhoneScreen;

// Modal; saves the groups when members were added or deleted. A name or number that the
// groups file could not give back as typed ("|", "]", a line break, a name starting with "[",
// or a line too long) is refused with an Error box.
void RunMemberEditor(PhoneScreen& screen, GroupList& groups, size_t group);

}  // namespace brevalo
