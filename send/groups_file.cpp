#include "send/groups_file.h"

#include <algorithm>

#include "send/list_file_text.h"

namespace brevalo {
namespace {

constexpr std::u16string_view kDelimiters = u"|]\r\n";

bool IsDelimiter(char16_t c) { return kDelimiters.find(c) != std::u16string_view::npos; }

// The next piece of `rest` between delimiters, skipping the delimiters before it.
std::u16string_view NextPiece(std::u16string_view* rest) {
  size_t start = 0;
  while (start < rest->size() && IsDelimiter((*rest)[start])) ++start;
  size_t end = start;
  while (end < rest->size() && !IsDelimiter((*rest)[end])) ++end;
  std::u16string_view piece = rest->substr(start, end - start);
  rest->remove_prefix(end);
  return piece;
}

std::u16string_view HeaderName(std::u16string_view line) {
  std::u16string_view afterBracket = line.substr(1);
  size_t end = 0;
  while (end < afterBracket.size() && !IsDelimiter(afterBracket[end])) ++end;
  return afterBracket.substr(0, end);
}

}  // namespace

std::vector<Group> ReadGroups(std::string_view bytes) {
  std::vector<Group> reversed;  // file order; turned round at the end
  bool inPlacedGroup = false;
  for (const std::u16string& line : ReadListLines(bytes)) {
    if (!line.empty() && line[0] == u'[') {
      std::u16string_view name = HeaderName(line);
      inPlacedGroup = !name.empty();
      if (inPlacedGroup) reversed.push_back({std::u16string(name), {}});
      continue;
    }
    std::u16string_view rest = line;
    std::u16string_view name = NextPiece(&rest);
    std::u16string_view number = NextPiece(&rest);
    if (!inPlacedGroup || name.empty() || number.empty()) continue;
    reversed.back().members.push_back({std::u16string(name), std::u16string(number)});
  }
  return std::vector<Group>(reversed.rbegin(), reversed.rend());
}

std::string WriteGroups(const std::vector<Group>& groups) {
  std::vector<std::u16string> lines;
  for (const Group& group : groups) {
    lines.push_back(u"[" + group.name + u"]");
    for (const GroupMember& member : group.members) {
      lines.push_back(member.name + u"|" + member.number);
    }
  }
  return WriteListLines(lines);
}

namespace {

bool FreeOfDelimiters(std::u16string_view text) {
  return !text.empty() && text.find_first_of(kDelimiters) == std::u16string_view::npos;
}

}  // namespace

bool StorableGroupName(std::u16string_view name) {
  return FreeOfDelimiters(name) && name.size() + 2 <= kListLineChars;
}

bool StorableMember(std::u16string_view name, std::u16string_view number) {
  return FreeOfDelimiters(name) && FreeOfDelimiters(number) && name.front() != u'[' &&
         name.size() + 1 + number.size() <= kListLineChars;
}

namespace {

constexpr size_t kStoredNumberChars = 64;

std::u16string Blanked(std::u16string_view text) {
  std::u16string out(text);
  for (char16_t& c : out) {
    if (IsDelimiter(c)) c = u' ';
  }
  return out;
}

bool Blank(std::u16string_view text) {
  return text.find_first_not_of(u' ') == std::u16string_view::npos;
}

}  // namespace

GroupMember StorableMemberOf(std::u16string_view name, std::u16string_view number) {
  GroupMember member{Blanked(name), Blanked(number.substr(0, kStoredNumberChars))};
  if (Blank(member.name)) member.name = member.number;
  if (!member.name.empty() && member.name.front() == u'[') member.name.front() = u'(';
  member.name.resize(std::min(member.name.size(), kListLineChars - 1 - member.number.size()));
  return member;
}

}  // namespace brevalo
