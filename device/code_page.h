// Text conversion between the UTF-16 that the program keeps in memory and the byte encodings of
// the device: its ANSI code page (65001 = UTF-8 by default, 1252, 936 or any code page iconv
// knows) and UTF-8 for host paths and tool output.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace brevalo {

class CodePage {
 public:
  // 65001 (UTF-8); always available.
  CodePage();
  // Nothing when iconv knows no encoding for the number.
  static std::optional<CodePage> Open(uint32_t number);

  uint32_t Number() const { return number_; }

  // Characters the code page cannot hold become '?'; nothing else is dropped.
  std::string FromUtf16(std::u16string_view text) const;
  // Byte sequences that are not valid in the code page become U+FFFD.
  std::u16string ToUtf16(std::string_view bytes) const;

  // Fills a fixed byte field: at most capacity - 1 bytes of text, cut at a character boundary,
  // then NUL bytes up to capacity. Returns the number of text bytes written.
  // REQUIRES: field holds at least capacity bytes, capacity >= 1.
  size_t ToFixedField(std::u16string_view text, char* field, size_t capacity) const;
  // Reads a fixed byte field up to its first NUL or its end.
  std::u16string FromFixedField(const char* field, size_t capacity) const;

 private:
  explicit CodePage(uint32_t number, std::string iconvName);
  uint32_t number_;
  std::string iconvName_;
};

// UTF-8 and UTF-16 for host paths, command lines and JSON; invalid input becomes U+FFFD / '?'.
std::string ToUtf8(std::u16string_view text);
std::u16string FromUtf8(std::string_view text);

}  // namespace brevalo
