// A user filter or one of the two defaults: when it takes a message and what it then does.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "filter/action_slot.h"
#include "filter/filter_condition.h"

namespace brevalo {

inline constexpr size_t FILTER_CONDITION_COUNT = 2;

struct Filter {
  // 1: takes every message without looking at the conditions.
  int32_t applyToAll = 0;
  // 0: matching passes over the filter.
  int32_t enabled = 1;
  // Rule 1 and Rule 2; both must hold.
  std::array<std::optional<FilterCondition>, FILTER_CONDITION_COUNT> conditions;
  std::array<std::optional<ActionSlot>, ACTION_SLOT_COUNT> actions;
  std::u16string name;

  bool HasAction(size_t slot) const { return slot < ACTION_SLOT_COUNT && actions[slot]; }
  // Makes the slot present with the given text (or none).
  void SetAction(size_t slot, std::optional<std::u16string> text = std::nullopt);

  // Drops every condition and action; flags and name stay.
  void ClearRules();
  // The actions a new filter and a missing rules file start with: save to "\Inbox" and remind of
  // unread messages, nothing else. Conditions stay.
  void SetDefaultContent();

  bool operator==(const Filter&) const = default;
};

// The folder that the default content files messages into.
inline constexpr std::u16string_view DefaultFolderPath = u"\\Inbox";

}  // namespace brevalo
