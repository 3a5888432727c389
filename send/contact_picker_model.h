// What the contact picker lists and returns, without drawing it: the rows (groups first in the
// mode that shows them, then each contact that has a number), the number each contact row has
// chosen, check marks, the keyword search, the group functions and the result entries.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "send/contact_directory.h"

namespace brevalo {

enum class PickerMode {
  kSingle = 0,      // one choice, the number (and the name when asked)
  kMultiple = 1,    // check boxes, no groups
  kWithGroups = 2,  // check boxes, groups first, group editing
};

// The recipient text a picker may hand back, including what its caller's text holds already:
// the size of the callers' recipient fields. A result that would pass it is refused whole, so
// no entry is ever cut.
inline constexpr size_t kRecipientTextChars = 15300;

struct PickerRow {
  size_t index = 0;  // into the directory's contacts or its groups
  bool group = false;
  int kind = 0;      // contacts: the number shown (NumberKind)
  bool checked = false;
};

class ContactPickerModel {
 public:
  // The directory must outlive the model.
  ContactPickerModel(ContactDirectory& directory, PickerMode mode)
      : directory_(directory), mode_(mode) {}

  PickerMode Mode() const { return mode_; }
  bool ShowsGroups() const { return mode_ == PickerMode::kWithGroups; }
  bool HasCheckBoxes() const { return mode_ != PickerMode::kSingle; }

  // Loads the directory if it has not been, then lists the groups (when shown) and the contacts
  // that have a number, only those of `category` when one is given. Check marks are cleared.
  void Fill(std::optional<size_t> category);
  const std::vector<PickerRow>& Rows() const { return rows_; }
  std::optional<size_t> Category() const { return category_; }

  std::u16string Name(size_t row) const;
  // "M", "H" or "W"; empty for a group.
  std::u16string_view KindLetter(size_t row) const;
  std::u16string Number(size_t row) const;
  // What the hint window shows for the row: its number, or "<Group>".
  std::u16string HintText(size_t row) const;

  // "5": the contact row's next number (mobile, home, work, round again). False for a group
  // row or a row outside the list.
  bool CycleNumber(size_t row);
  // The first row whose name begins with the keyword, compared without regard to case;
  // nothing for an empty keyword or when no row matches.
  std::optional<size_t> FindKeyword(std::u16string_view keyword) const;

  bool SetChecked(size_t row, bool checked);
  void SetAllChecked(bool checked);

  // The entries of the checked rows in row order, ";\"name\"<number>" each, a checked group
  // giving one per member. Nothing when they would not fit into `room` characters.
  std::optional<std::u16string> CheckedEntries(size_t room) const;
  // How many entries the checked rows give.
  size_t CheckedEntryCount() const;

  // --- Groups (mode 2) ---------------------------------------------------------------------
  size_t GroupRowCount() const;
  // Replaces the group rows at the top by one per group of the list, in list order.
  void RebuildGroupRows();
  // Appends each checked contact row as a member of `group`, with the row's number.
  bool AddCheckedContactsTo(size_t group);
  // Deletes the group of a group row with its members, removes the row and saves the groups.
  bool DeleteGroupOfRow(size_t row);

 private:
  const DirectoryContact* ContactOf(size_t row) const;
  const Group* GroupOf(size_t row) const;

  ContactDirectory& directory_;
  PickerMode mode_;
  std::vector<PickerRow> rows_;
  std::optional<size_t> category_;
};

}  // namespace brevalo
