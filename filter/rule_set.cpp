#include "filter/rule_set.h"

#include <algorithm>

namespace brevalo {

void RuleSet::ClearForLoad() {
  filters.clear();
  blackList.clear();
  contactDefault.ClearRules();
  strangerDefault.ClearRules();
}

bool RuleSet::operator==(const RuleSet& other) const {
  auto sameFilter = [](const std::unique_ptr<Filter>& a, const std::unique_ptr<Filter>& b) {
    return a && b ? *a == *b : a == b;
  };
  return std::equal(filters.begin(), filters.end(), other.filters.begin(), other.filters.end(),
                    sameFilter) &&
         blackList == other.blackList && contactDefault == other.contactDefault &&
         strangerDefault == other.strangerDefault && password == other.password;
}

}  // namespace brevalo
