// Any bytes as the groups file: reading never fails, every group read has a name and every
// member a name and a number, and what is written reads back as the same groups in reverse
// order (reading puts each group in front of those before it).
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "send/groups_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::vector<brevalo::Group> groups = brevalo::ReadGroups(bytes);
  for (const brevalo::Group& group : groups) {
    if (group.name.empty()) std::abort();
    for (const brevalo::GroupMember& member : group.members) {
      if (member.name.empty() || member.number.empty()) std::abort();
    }
  }
  // A read group or member is storable unless its line had to be read in pieces, which only
  // a line longer than any the program writes can cause.
  std::vector<brevalo::Group> again = brevalo::ReadGroups(brevalo::WriteGroups(groups));
  bool storable = true;
  for (const brevalo::Group& group : groups) {
    storable = storable && brevalo::StorableGroupName(group.name);
    for (const brevalo::GroupMember& member : group.members) {
      storable = storable && brevalo::StorableMember(member.name, member.number);
    }
  }
  std::reverse(again.begin(), again.end());
  if (storable && again != groups) std::abort();
  return 0;
}
