// What the Rule Editor shows and stores, without a screen: Rule 1 always, Rule 2 when its box
// is ticked, each an object, a judge and a content.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "filter/filter.h"

namespace brevalo {

struct RuleFields {
  int32_t object = OBJECT_PHONE_NUMBER;  // position in the Object spinner
  int32_t judge = JUDGE_INCLUDE;         // position in the Judge spinner
  std::u16string content;

  bool operator==(const RuleFields&) const = default;
};

struct RuleEditorForm {
  RuleFields rule1;
  bool rule2On = false;
  RuleFields rule2;

  bool operator==(const RuleEditorForm&) const = default;
};

// The spinners' entries, in the order of their values.
inline constexpr const char16_t* kObjectNames[] = {u"Phone Number", u"Body"};
inline constexpr const char16_t* kJudgeNames[] = {u"Include", u"Exclude", u"Equal", u"Not Equal"};

// The form as the editor opens on `filter`: each rule from its condition, or the first entries
// and no content when it has none. A value the spinner does not offer (only a hand-made rules
// file holds one) shows as the first entry.
RuleEditorForm RuleFormOfFilter(const Filter& filter);

// OK: "Please set the rule!" when a rule in use has no content, and then nothing changes.
// Otherwise Rule 1 is replaced, Rule 2 removed and made afresh when its box is ticked.
std::optional<std::u16string> StoreRuleForm(const RuleEditorForm& form, Filter& filter);

}  // namespace brevalo
