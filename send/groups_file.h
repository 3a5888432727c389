// The groups file "smsgroup.ini" in the program folder: a list file (send/list_file_text.h)
// with, for each group in list order, a header line "[name]" followed by one line "name|number"
// per member. Reading puts each group at the front, so the list read is the reverse of the
// file's order; members keep theirs.
//
// Lines the reader cannot place are skipped: a member line before the first header, a member
// line without a number, and a header without a name together with the member lines under it
// (they belong to no group that could be shown).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace brevalo {

inline constexpr std::u16string_view kGroupFileName = u"smsgroup.ini";

struct GroupMember {
  std::u16string name;
  std::u16string number;
  friend bool operator==(const GroupMember&, const GroupMember&) = default;
};

struct Group {
  std::u16string name;
  std::vector<GroupMember> members;
  friend bool operator==(const Group&, const Group&) = default;
};

std::vector<Group> ReadGroups(std::string_view bytes);
std::string WriteGroups(const std::vector<Group>& groups);

// Whether a group name or a member's name or number comes back from the file as it was
// written: none of "|", "]", CR or LF, not empty, and short enough for one read of the line.
// A member name must not start with "[" either, which would make its line a header.
bool StorableGroupName(std::u16string_view name);
bool StorableMember(std::u16string_view name, std::u16string_view number);
// A member made storable from a name and number that come from elsewhere (the phone's
// contacts): each of "|", "]", CR and LF becomes a blank, a leading "[" becomes "(", a name
// too long for the line is cut, and a blank name becomes the number. The number must not be empty.
GroupMember StorableMemberOf(std::u16string_view name, std::u16string_view number);

}  // namespace brevalo
