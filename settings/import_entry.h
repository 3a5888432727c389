// One message of the phone's own store as the import lists it: what is copied into the document
// (the whole text, the whole sender, the delivery time), the identifier and folder through which
// the phone's copy is deleted afterwards, and the two lines the list shows.
//
// Nothing here is ever cut: Delete After Import removes the phone's copy, so the document must get
// the message exactly as the phone had it, however long. Only the two display lines are short.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "device/device_properties.h"
#include "device/system_time.h"

namespace brevalo {

// The folders of the phone's SMS store, numbered as the store's folder types (and ImportSource's
// choice: 0 the inbox, 1 the sent items, turned into type 2).
enum PhoneFolderType : int {
  kPhoneInboxFolder = 0,
  kPhoneThirdFolder = 1,
  kPhoneSentFolder = 2,
};
inline int PhoneFolderOfImportSource(int32_t importSource) {
  return importSource == 1 ? kPhoneSentFolder : kPhoneInboxFolder;
}

struct ImportEntry {
  std::u16string text;
  std::u16string sender;
  DATE date = 0;        // the delivery time in local time, when hasDate
  bool hasDate = false;
  std::vector<uint8_t> entryId;
  int folder = kPhoneInboxFolder;  // the folder it was listed from, and is deleted through
  std::u16string lineOne;  // the sender, a blank, today's time or another day's date
  std::u16string lineTwo;  // the start of the text
  bool ticked = false;
};

// What the first line needs to know of the moment: today's local date and the user's pictures.
struct ImportClock {
  SYSTEMTIME today{};
  DatePictures pictures;
};

// The time-of-day text for a message of today, else the short date; at most this many characters.
inline constexpr size_t kImportTimeCapacity = 20;
std::u16string ImportTimeText(DATE local, const ImportClock& clock);

// The text cut to 30 width units, a character above code 128 counting two and any other one. A
// text that does not fit loses its end and, unless it was cut within its first three
// characters, its last two kept characters give way to "..". A character is never split: a
// surrogate pair counts once, as two units. Line breaks and tabs show as blanks.
inline constexpr int kImportLineWidth = 30;
std::u16string ImportTextLine(std::u16string_view text);

// Fills both display lines from the entry's own fields.
void SetImportLines(ImportEntry& entry, const ImportClock& clock);

}  // namespace brevalo
