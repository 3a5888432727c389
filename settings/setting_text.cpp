#include "settings/setting_text.h"

namespace brevalo {
namespace {

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }

}  // namespace

void SettingText::Assign(std::u16string_view text) {
  size_t length = text.size() <= capacity_ ? text.size() : capacity_;
  // Half a character would turn into an unpaired surrogate at every later conversion.
  if (length < text.size() && length > 0 && IsHighSurrogate(text[length - 1])) --length;
  text_.assign(text.substr(0, length));
}

}  // namespace brevalo
