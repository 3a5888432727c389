// The rule password guards the filter list and the Security page: both ask for it before they
// open, and the Security page changes it, writing the rules file at once.
#pragma once

#include <string_view>

#include "app/password_ask.h"
#include "filter/filter_engine.h"

namespace brevalo {

// True when the rules have no password or `ask` got it; false abandons the command.
bool RulePasswordPasses(const FilterEngine& filters, const PasswordAsk& ask);

// Sets the rule password (empty: none) and writes the rules file. When the file cannot be
// written the old password stays, in memory as in the file, and the answer is false.
bool ChangeRulePassword(FilterEngine& filters, std::u16string_view password);

}  // namespace brevalo
