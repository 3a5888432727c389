// Text handed across the boundary of an in-process server: the side that hands it out allocates
// it with ComStringAlloc, the side that receives it owns it and frees it with ComStringFree.
// Both sides share the process's C library, so either may free what the other allocated. The
// length is kept in front of the characters, so a text may hold any character, NUL included.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace brevalo {

using ComString = char16_t*;  // nullptr is the empty text

// Nothing (nullptr) when memory runs out.
inline ComString ComStringAlloc(std::u16string_view text) {
  const uint32_t length = static_cast<uint32_t>(text.size());
  void* block = std::malloc(sizeof(uint32_t) + (size_t{length} + 1) * sizeof(char16_t));
  if (block == nullptr) return nullptr;
  std::memcpy(block, &length, sizeof length);
  auto* characters = reinterpret_cast<char16_t*>(static_cast<char*>(block) + sizeof(uint32_t));
  if (length != 0) std::memcpy(characters, text.data(), length * sizeof(char16_t));
  characters[length] = u'\0';
  return characters;
}

inline void ComStringFree(ComString text) {
  if (text != nullptr) std::free(reinterpret_cast<char*>(text) - sizeof(uint32_t));
}

inline std::u16string_view ComStringView(ComString text) {
  if (text == nullptr) return {};
  uint32_t length = 0;
  std::memcpy(&length, reinterpret_cast<char*>(text) - sizeof(uint32_t), sizeof length);
  return {text, length};
}

// Owns one received text and frees it when it goes.
class ComStringHolder {
 public:
  ComStringHolder() = default;
  ~ComStringHolder() { ComStringFree(text_); }
  ComStringHolder(const ComStringHolder&) = delete;
  ComStringHolder& operator=(const ComStringHolder&) = delete;

  // Frees the text held, then lends the slot to a call that hands out a new one.
  ComString* Put() {
    ComStringFree(text_);
    text_ = nullptr;
    return &text_;
  }
  std::u16string Text() const { return std::u16string(ComStringView(text_)); }

 private:
  ComString text_ = nullptr;
};

}  // namespace brevalo
