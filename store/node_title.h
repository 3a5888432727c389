// The titles of message nodes: built from the message's contact text (a number, or a quoted
// name with a number in angle brackets, several entries separated by ";"), its body and the
// moment it arrived or was written, in one of the three title modes the user picks per kind of
// message (received, sent, imported). Filing, the recording of sent messages and the import
// all name their nodes this way.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace brevalo {

enum TitleMode : int32_t {
  kTitleSummary = 0,         // the start of the body
  kTitleContactSummary = 1,  // name or number, then the start of the body
  kTitleContactTime = 2,     // name or number, then the date and time
};

// A title never holds more; longer ones are cut.
inline constexpr size_t kTitleCapacity = 259;
// The date and time part of a title is cut to this many characters.
inline constexpr size_t kTitleTimeCapacity = 40;

// The first entry of a contact text, as the title shows it: the quoted name and the number,
// each followed by one blank ("Ann ", "5550100 "). hasName is set when a quoted name was found.
struct TitleContact {
  std::u16string name;
  std::u16string number;
  bool hasName = false;
  const std::u16string& Shown() const { return hasName ? name : number; }
};
TitleContact ParseTitleContact(std::u16string_view contact);

// The first `length` characters of the body, stopping early at a tab, line feed or carriage
// return.
std::u16string BodySummary(std::u16string_view body, int32_t length);

// `timeText` is the moment as the user's short date, a blank and the time format. An unknown
// mode gives an empty title.
std::u16string BuildTitle(std::u16string_view contact, std::u16string_view body,
                          std::u16string_view timeText, int32_t mode, int32_t summaryLength);

}  // namespace brevalo
