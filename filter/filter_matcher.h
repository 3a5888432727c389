// Decides for one incoming message whether it is black-listed and which filter treats it. Pure
// look-ups that allocate nothing: numbers are normalized into fixed buffers on the stack.
#pragma once

#include <string_view>

#include "filter/filter.h"
#include "filter/incoming_sms.h"
#include "filter/rule_set.h"

namespace brevalo {

// True when `text` ends with `pattern`, a "?" in the pattern matching any one unit. An empty
// pattern matches every text; a pattern longer than the text matches none.
bool TailMatch(std::u16string_view pattern, std::u16string_view text);

// True when an entry's number, compared as stored, matches the end of the sender's number.
bool IsBlackListed(const RuleSet& rules, const IncomingSms& message);

// Include and Exclude search the raw sender text (so a display name can match) or the body;
// Equal and Not Equal tail-match the normalized sender number or the body. An unknown object
// fails the condition; an unknown judge imposes nothing.
// `senderNumber` is the sender text after NormalizeNumber.
bool ConditionHolds(const FilterCondition& condition, const IncomingSms& message,
                    std::u16string_view senderNumber);

// The first enabled user filter that takes the message, else the Contact Default for a sender
// text holding "<", else the Stranger Default. The reference stays valid while `rules` is not
// changed.
const Filter& MatchFilter(const RuleSet& rules, const IncomingSms& message);

}  // namespace brevalo
