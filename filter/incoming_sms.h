// The two fields of an incoming message that matching looks at, as views into the record that
// the interception channel delivered.
#pragma once

#include <cstddef>
#include <string_view>

namespace brevalo {

struct IncomingSms {
  std::u16string_view sender;  // a bare number, or a display form with the number in "<" ">"
  std::u16string_view text;

  // Views fixed fields up to their terminator, or their whole capacity if none is there, so a
  // damaged record is never read past its end.
  static IncomingSms FromFields(const char16_t* sender, size_t senderCapacity,
                                const char16_t* text, size_t textCapacity) {
    return {FieldView(sender, senderCapacity), FieldView(text, textCapacity)};
  }

 private:
  static std::u16string_view FieldView(const char16_t* field, size_t capacity) {
    size_t length = 0;
    while (length < capacity && field[length] != u'\0') ++length;
    return {field, length};
  }
};

}  // namespace brevalo
