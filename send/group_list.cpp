#include "send/group_list.h"

namespace brevalo {

void GroupList::Load(ListFile& file) {
  file_ = &file;
  groups_.clear();
  DeviceFileContents contents = file.Read();
  if (contents.state == DeviceFileState::kRead) {
    groups_ = ReadGroups(contents.bytes);
  } else if (contents.state == DeviceFileState::kMissing) {
    Save();
  }
}

bool GroupList::Save() const { return file_ != nullptr && file_->Write(WriteGroups(groups_)); }

void GroupList::AddGroup(std::u16string name) {
  groups_.insert(groups_.begin(), Group{std::move(name), {}});
}

bool GroupList::DeleteGroup(size_t group) {
  if (group >= groups_.size()) return false;
  groups_.erase(groups_.begin() + static_cast<std::ptrdiff_t>(group));
  return true;
}

bool GroupList::AddMember(size_t group, GroupMember member) {
  if (group >= groups_.size()) return false;
  groups_[group].members.push_back(std::move(member));
  return true;
}

bool GroupList::DeleteMember(size_t group, size_t member) {
  if (group >= groups_.size() || member >= groups_[group].members.size()) return false;
  auto& members = groups_[group].members;
  members.erase(members.begin() + static_cast<std::ptrdiff_t>(member));
  return true;
}

}  // namespace brevalo
