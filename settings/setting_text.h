// A text setting: a UTF-16 string with room for a fixed number of characters, as the fields of
// the settings record on the phone are fixed-size buffers. Whatever is assigned is cut to fit, so
// a setting never holds more than its registry value can carry back on the next load.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace brevalo {

class SettingText {
 public:
  // capacity counts characters without the terminator.
  explicit SettingText(size_t capacity) : capacity_(capacity) {}

  // Keeps at most Capacity() characters; a surrogate pair that the cut would split goes whole.
  void Assign(std::u16string_view text);
  SettingText& operator=(std::u16string_view text) {
    Assign(text);
    return *this;
  }

  size_t Capacity() const { return capacity_; }
  const std::u16string& Text() const { return text_; }
  bool empty() const { return text_.empty(); }
  operator std::u16string_view() const { return text_; }

  friend bool operator==(const SettingText& a, const SettingText& b) { return a.text_ == b.text_; }

 private:
  size_t capacity_;
  std::u16string text_;
};

}  // namespace brevalo
