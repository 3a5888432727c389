// Everything the rules file holds: the user filters in matching order, the black list, the two
// defaults and the rule password.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "filter/black_list_entry.h"
#include "filter/filter.h"

namespace brevalo {

struct RuleSet {
  // Owned one by one so that a reference handed out by matching survives appends.
  std::vector<std::unique_ptr<Filter>> filters;
  std::vector<BlackListEntry> blackList;
  Filter contactDefault;   // a sender from the contacts ("<" in the sender text)
  Filter strangerDefault;  // everybody else
  std::u16string password;  // empty: none

  // Frees the filters and the black list and empties both defaults; the password stays.
  void ClearForLoad();

  bool operator==(const RuleSet& other) const;
};

}  // namespace brevalo
