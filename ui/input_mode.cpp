#include "ui/input_mode.h"

namespace brevalo {

std::u16string_view InputModeLabel(InputMode mode) {
  switch (mode) {
    case InputMode::Letters: return u"abc";
    case InputMode::Capitals: return u"ABC";
    case InputMode::Numbers: return u"123";
  }
  return u"abc";
}

InputMode NextInputMode(InputMode mode) {
  switch (mode) {
    case InputMode::Letters: return InputMode::Capitals;
    case InputMode::Capitals: return InputMode::Numbers;
    case InputMode::Numbers: return InputMode::Letters;
  }
  return InputMode::Letters;
}

std::u16string_view MultiTapLetters(PhoneKey key) {
  switch (key) {
    case PhoneKey::Digit1: return u".,?!'\"-()@/:_1";
    case PhoneKey::Digit2: return u"abc2";
    case PhoneKey::Digit3: return u"def3";
    case PhoneKey::Digit4: return u"ghi4";
    case PhoneKey::Digit5: return u"jkl5";
    case PhoneKey::Digit6: return u"mno6";
    case PhoneKey::Digit7: return u"pqrs7";
    case PhoneKey::Digit8: return u"tuv8";
    case PhoneKey::Digit9: return u"wxyz9";
    case PhoneKey::Digit0: return u" 0";
    case PhoneKey::Star: return u"*+#";
    default: return u"";
  }
}

namespace {
char16_t Capital(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c; }
}  // namespace

std::optional<MultiTap::Edit> MultiTap::Press(PhoneKey key, InputMode mode, int64_t nowMs) {
  std::u16string_view letters = MultiTapLetters(key);
  if (letters.empty()) {
    Commit();
    return std::nullopt;
  }
  std::optional<int> digit = DigitOf(key);
  if (mode == InputMode::Numbers && digit) {
    Commit();
    return Edit{false, static_cast<char16_t>(u'0' + *digit)};
  }
  // Star cycles "*+#" in every mode, so that numbers can be dialled with a prefix.
  bool again = Pending(nowMs) && key == lastKey_;
  index_ = again ? (index_ + 1) % letters.size() : 0;
  pending_ = true;
  lastKey_ = key;
  lastPressMs_ = nowMs;
  char16_t c = letters[index_];
  return Edit{again, mode == InputMode::Capitals ? Capital(c) : c};
}

}  // namespace brevalo
