#include "filter/filter_matcher.h"

#include "filter/normalize_number.h"

namespace brevalo {

bool TailMatch(std::u16string_view pattern, std::u16string_view text) {
  if (text.size() < pattern.size()) return false;
  const std::u16string_view tail = text.substr(text.size() - pattern.size());
  for (size_t k = 0; k < pattern.size(); ++k) {
    if (pattern[k] != u'?' && pattern[k] != tail[k]) return false;
  }
  return true;
}

bool IsBlackListed(const RuleSet& rules, const IncomingSms& message) {
  char16_t number[NormalizedNumberSize];
  const std::u16string_view senderNumber(number, NormalizeNumber(message.sender, number));
  for (const BlackListEntry& entry : rules.blackList) {
    if (TailMatch(entry.number, senderNumber)) return true;
  }
  return false;
}

bool ConditionHolds(const FilterCondition& condition, const IncomingSms& message,
                    std::u16string_view senderNumber) {
  std::u16string_view searched;
  std::u16string_view compared;
  if (condition.object == OBJECT_PHONE_NUMBER) {
    searched = message.sender;
    compared = senderNumber;
  } else if (condition.object == OBJECT_BODY) {
    searched = message.text;
    compared = message.text;
  } else {
    return false;
  }
  switch (condition.judge) {
    case JUDGE_INCLUDE: return searched.find(condition.content) != std::u16string_view::npos;
    case JUDGE_EXCLUDE: return searched.find(condition.content) == std::u16string_view::npos;
    case JUDGE_EQUAL: return TailMatch(condition.content, compared);
    case JUDGE_NOT_EQUAL: return !TailMatch(condition.content, compared);
    default: return true;
  }
}

namespace {

bool FilterTakes(const Filter& filter, const IncomingSms& message,
                 std::u16string_view senderNumber) {
  if (filter.enabled == 0) return false;
  if (filter.applyToAll == 1) return true;
  for (const auto& condition : filter.conditions) {
    if (condition && !ConditionHolds(*condition, message, senderNumber)) return false;
  }
  return true;
}

}  // namespace

const Filter& MatchFilter(const RuleSet& rules, const IncomingSms& message) {
  char16_t number[NormalizedNumberSize];
  const std::u16string_view senderNumber(number, NormalizeNumber(message.sender, number));
  for (const auto& filter : rules.filters) {
    if (filter && FilterTakes(*filter, message, senderNumber)) return *filter;
  }
  // A sender from the contacts arrives in its display form; no contact look-up is made here.
  if (message.sender.find(u'<') != std::u16string_view::npos) return rules.contactDefault;
  return rules.strangerDefault;
}

}  // namespace brevalo
