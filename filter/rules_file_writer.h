// Turns a rule set into the bytes of a rules file, in the order that readers of every release
// expect: the user filters, the black list, the Contact Default, the Stranger Default, the
// password.
#pragma once

#include <string>

#include "filter/rule_set.h"

namespace brevalo {

std::string WriteRules(const RuleSet& rules);

}  // namespace brevalo
