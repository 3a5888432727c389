// One rule of a filter: which part of the message is looked at, how, and against what text.
#pragma once

#include <cstdint>
#include <string>

namespace brevalo {

// What a condition looks at. Values are stored in the rules file as single digits.
inline constexpr int32_t OBJECT_PHONE_NUMBER = 0;  // the sender text of the message
inline constexpr int32_t OBJECT_BODY = 1;          // the message text

// How the content is compared with the subject; see filter_matcher.h for their meaning.
inline constexpr int32_t JUDGE_INCLUDE = 0;
inline constexpr int32_t JUDGE_EXCLUDE = 1;
inline constexpr int32_t JUDGE_EQUAL = 2;
inline constexpr int32_t JUDGE_NOT_EQUAL = 3;

struct FilterCondition {
  int32_t object = OBJECT_PHONE_NUMBER;
  int32_t judge = JUDGE_INCLUDE;
  // A single line of text; the Rule Editor never stores an empty one.
  std::u16string content;

  bool operator==(const FilterCondition&) const = default;
};

}  // namespace brevalo
