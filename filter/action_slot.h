// The ten actions a filter can carry out. A filter holds each slot or not; holding it switches the
// action on. Flag actions carry no text and ignore one if present.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace brevalo {

inline constexpr size_t ACTION_SAVE_TO_FOLDER = 0;  // folder path in the document: "\Inbox\Work"
inline constexpr size_t ACTION_HIDE_IN_INBOX = 1;   // flag
inline constexpr size_t ACTION_AUTO_REPLY = 2;      // reply text, may hold CR LF
inline constexpr size_t ACTION_VIBRATE = 3;         // flag
inline constexpr size_t ACTION_SOUND = 4;           // sound file path, or ActionRandomRing
inline constexpr size_t ACTION_AUTO_FORWARD = 5;    // recipient list, entries separated by ";"
inline constexpr size_t ACTION_POPUP = 6;           // skin file path; none or empty: default skin
inline constexpr size_t ACTION_SENTENCE = 7;        // shown by the pop-up instead of the message
inline constexpr size_t ACTION_UNREAD_ALERT = 8;    // flag
inline constexpr size_t ACTION_PHOTO = 9;           // picture shown by the pop-up
inline constexpr size_t ACTION_SLOT_COUNT = 10;

// The sound text that asks for a random ring instead of a file.
inline constexpr std::u16string_view ActionRandomRing = u"|";

struct ActionSlot {
  // A slot written without text reads back with an empty text, so users of a slot treat an
  // empty text like none.
  std::optional<std::u16string> text;

  bool operator==(const ActionSlot&) const = default;
};

}  // namespace brevalo
