#include "app/rule_password.h"

#include <string>

namespace brevalo {

bool RulePasswordPasses(const FilterEngine& filters, const PasswordAsk& ask) {
  const std::u16string& password = filters.RulePassword();
  return password.empty() || (ask && ask(password));
}

bool ChangeRulePassword(FilterEngine& filters, std::u16string_view password) {
  const std::u16string previous = filters.RulePassword();
  filters.SetRulePassword(password);
  if (filters.SaveRules()) return true;
  // A password only memory knows would be gone at the next start, or come back with the next
  // save of the rules when the user believes it was refused.
  filters.SetRulePassword(previous);
  return false;
}

}  // namespace brevalo
