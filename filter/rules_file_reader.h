// Turns the bytes of a rules file into a rule set. Survives any input: damaged or unknown lines
// are skipped, never read past.
#pragma once

#include <string_view>

#include "filter/rule_set.h"

namespace brevalo {

// Adds what the file holds to `rules`, which the caller has prepared (ClearForLoad). The first
// two bytes are the byte-order mark and are not looked at; a trailing odd byte is ignored.
// The password is only set by a P line.
void ReadRules(std::string_view bytes, RuleSet& rules);

}  // namespace brevalo
