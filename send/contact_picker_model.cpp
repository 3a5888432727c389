#include "send/contact_picker_model.h"

#include "device/text_case.h"
#include "send/recipients.h"

namespace brevalo {

void ContactPickerModel::Fill(std::optional<size_t> category) {
  directory_.EnsureLoaded();
  category_ = category;
  rows_.clear();
  RebuildGroupRows();
  const std::vector<DirectoryContact>& contacts = directory_.Contacts();
  for (size_t i = 0; i < contacts.size(); ++i) {
    std::optional<int> kind = contacts[i].FirstKind();
    if (!kind) continue;
    if (category && !contacts[i].HasCategory(*category)) continue;
    rows_.push_back({i, false, *kind, false});
  }
}

const DirectoryContact* ContactPickerModel::ContactOf(size_t row) const {
  if (row >= rows_.size() || rows_[row].group) return nullptr;
  const std::vector<DirectoryContact>& contacts = directory_.Contacts();
  return rows_[row].index < contacts.size() ? &contacts[rows_[row].index] : nullptr;
}

const Group* ContactPickerModel::GroupOf(size_t row) const {
  if (row >= rows_.size() || !rows_[row].group) return nullptr;
  const std::vector<Group>& groups = directory_.Groups().Groups();
  return rows_[row].index < groups.size() ? &groups[rows_[row].index] : nullptr;
}

std::u16string ContactPickerModel::Name(size_t row) const {
  if (const Group* group = GroupOf(row)) return group->name;
  if (const DirectoryContact* contact = ContactOf(row)) return contact->name;
  return {};
}

std::u16string_view ContactPickerModel::KindLetter(size_t row) const {
  return ContactOf(row) != nullptr ? NumberKindLetter(rows_[row].kind) : std::u16string_view();
}

std::u16string ContactPickerModel::Number(size_t row) const {
  const DirectoryContact* contact = ContactOf(row);
  return contact != nullptr ? contact->numbers[static_cast<size_t>(rows_[row].kind)]
                            : std::u16string();
}

std::u16string ContactPickerModel::HintText(size_t row) const {
  if (GroupOf(row) != nullptr) return u"<Group>";
  return Number(row);
}

bool ContactPickerModel::CycleNumber(size_t row) {
  const DirectoryContact* contact = ContactOf(row);
  if (contact == nullptr) return false;
  rows_[row].kind = contact->NextKind(rows_[row].kind);
  return true;
}

std::optional<size_t> ContactPickerModel::FindKeyword(std::u16string_view keyword) const {
  if (keyword.empty()) return std::nullopt;
  const std::u16string folded = FoldCase(keyword);
  for (size_t row = 0; row < rows_.size(); ++row) {
    std::u16string name = Name(row);
    if (name.size() >= folded.size() && FoldCase(std::u16string_view(name).substr(0, folded.size())) == folded) {
      return row;
    }
  }
  return std::nullopt;
}

bool ContactPickerModel::SetChecked(size_t row, bool checked) {
  if (row >= rows_.size()) return false;
  rows_[row].checked = checked;
  return true;
}

void ContactPickerModel::SetAllChecked(bool checked) {
  for (PickerRow& row : rows_) row.checked = checked;
}

std::optional<std::u16string> ContactPickerModel::CheckedEntries(size_t room) const {
  std::u16string entries;
  auto append = [&](std::u16string_view name, std::u16string_view number) {
    entries += RecipientEntry(name, number);
    return entries.size() <= room;
  };
  for (size_t row = 0; row < rows_.size(); ++row) {
    if (!rows_[row].checked) continue;
    if (const Group* group = GroupOf(row)) {
      for (const GroupMember& member : group->members) {
        if (!append(member.name, member.number)) return std::nullopt;
      }
    } else if (ContactOf(row) != nullptr) {
      if (!append(Name(row), Number(row))) return std::nullopt;
    }
  }
  return entries;
}

size_t ContactPickerModel::CheckedEntryCount() const {
  size_t count = 0;
  for (size_t row = 0; row < rows_.size(); ++row) {
    if (!rows_[row].checked) continue;
    if (const Group* group = GroupOf(row)) count += group->members.size();
    else if (ContactOf(row) != nullptr) ++count;
  }
  return count;
}

size_t ContactPickerModel::GroupRowCount() const {
  size_t count = 0;
  while (count < rows_.size() && rows_[count].group) ++count;
  return count;
}

void ContactPickerModel::RebuildGroupRows() {
  rows_.erase(rows_.begin(), rows_.begin() + static_cast<std::ptrdiff_t>(GroupRowCount()));
  if (!ShowsGroups()) return;
  std::vector<PickerRow> groupRows;
  for (size_t i = 0; i < directory_.Groups().Groups().size(); ++i) {
    groupRows.push_back({i, true, 0, false});
  }
  rows_.insert(rows_.begin(), groupRows.begin(), groupRows.end());
}

bool ContactPickerModel::AddCheckedContactsTo(size_t group) {
  if (group >= directory_.Groups().Groups().size()) return false;
  for (size_t row = 0; row < rows_.size(); ++row) {
    if (!rows_[row].checked || ContactOf(row) == nullptr) continue;
    directory_.Groups().AddMember(group, StorableMemberOf(Name(row), Number(row)));
  }
  return true;
}

bool ContactPickerModel::DeleteGroupOfRow(size_t row) {
  if (GroupOf(row) == nullptr) return false;
  directory_.Groups().DeleteGroup(rows_[row].index);
  rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(row));
  // The rows after it name the groups that moved up by one.
  for (size_t later = row; later < rows_.size() && rows_[later].group; ++later) {
    --rows_[later].index;
  }
  directory_.Groups().Save();
  return true;
}

}  // namespace brevalo
