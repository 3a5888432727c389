#include "filter/rule_editor_form.h"

#include <iterator>

#include "filter/filter_edit_form.h"

namespace brevalo {
namespace {

int32_t Offered(int32_t value, size_t count) {
  return value >= 0 && static_cast<size_t>(value) < count ? value : 0;
}

RuleFields FieldsOf(const std::optional<FilterCondition>& condition) {
  if (!condition) return {};
  return {Offered(condition->object, std::size(kObjectNames)), Offered(condition->judge, std::size(kJudgeNames)),
          condition->content};
}

FilterCondition ConditionOf(const RuleFields& fields) { return {fields.object, fields.judge, fields.content}; }

}  // namespace

RuleEditorForm RuleFormOfFilter(const Filter& filter) {
  RuleEditorForm form;
  form.rule1 = FieldsOf(filter.conditions[0]);
  form.rule2On = filter.conditions[1].has_value();
  form.rule2 = FieldsOf(filter.conditions[1]);
  return form;
}

std::optional<std::u16string> StoreRuleForm(const RuleEditorForm& form, Filter& filter) {
  if (form.rule1.content.empty() || (form.rule2On && form.rule2.content.empty())) {
    return std::u16string(kSetRuleMessage);
  }
  filter.conditions[0] = ConditionOf(form.rule1);
  filter.conditions[1].reset();
  if (form.rule2On) filter.conditions[1] = ConditionOf(form.rule2);
  return std::nullopt;
}

}  // namespace brevalo
