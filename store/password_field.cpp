#include "store/password_field.h"

#include "store/store_format.h"

namespace brevalo {

std::u16string TakenPassword(std::u16string_view typed) {
  size_t length = std::min(typed.size(), kPasswordTakenChars);
  // Half a character would never match what the user types again.
  if (length > 0 && length < typed.size() && typed[length - 1] >= 0xD800 && typed[length - 1] <= 0xDBFF) {
    --length;
  }
  return std::u16string(typed.substr(0, length));
}

bool PasswordMatches(std::u16string_view typed, std::u16string_view stored) {
  return typed == stored || TakenPassword(typed) == stored;
}

bool FitsPasswordField(const CodePage& page, std::u16string_view password) {
  static_assert(kHeaderPasswordSize == kRecordPasswordSize);
  const std::string bytes = page.FromUtf16(password);
  // The field keeps a terminator; a password with a NUL in it would end early.
  if (bytes.size() >= kRecordPasswordSize || bytes.find('\0') != std::string::npos) return false;
  return page.ToUtf16(bytes) == password;
}

}  // namespace brevalo
