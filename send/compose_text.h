// The text rules of the compose window, without its drawing: what an opener puts into the
// fields, the split of a stored sent message for Resend, the character counter, the signature,
// the way picked recipients join the field, the checks before sending and saving, the flags a
// Send hands to the queue, and the send time as the timer dialog writes it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "device/system_time.h"

namespace brevalo {

// How the window was opened: a new message or Forward (0), Reply (1), Resend (2).
enum class ComposeMode : int { kNew = 0, kReply = 1, kResend = 2 };

struct ComposeFields {
  std::u16string recipients;
  std::u16string body;
};

// A stored sent message reads "Send To:<recipients>\r\n--------------------\r\n<text>". Without
// "--" the whole text is the body. Otherwise the text is cut at CR, LF and "=" (empty pieces
// skipped): the recipients follow the first ":" of the first piece, the second piece is the
// rule and dropped, the third is the body. The body thus keeps only the first line of the text
// and stops at its first "=".
ComposeFields ResendSplit(std::u16string_view stored);

// The fields from a stored message: Reply puts its number into the recipients (at most 260
// characters), Resend splits its content, a new message or Forward takes the content as body.
ComposeFields FieldsFromMessage(ComposeMode mode, std::u16string_view number,
                                std::u16string_view content);
// The fields from the opener's texts: Resend splits the body, the others take both as they are.
ComposeFields FieldsFromTexts(ComposeMode mode, std::u16string_view body,
                              std::u16string_view recipients);

// At most this many characters of the body are counted.
inline constexpr size_t kCountedCharacters = 259;
// "%d/%d": the characters counted and what one message holds: 160, or 70 once one of them lies
// above U+00FF.
std::u16string CounterText(std::u16string_view body);

// What the view window hands to Forward: the first 140 characters of the text (a character
// pair of the UTF-16 form is not split).
inline constexpr size_t kForwardCharacters = 140;
std::u16string ForwardText(std::u16string_view text);

// The body with the signature added at its end, and the caret before the signature.
struct SignedBody {
  std::u16string text;
  size_t caret = 0;
};
SignedBody AppendSignature(std::u16string_view body, std::u16string_view sign);

// The picker hands back ";entry;entry...". Into a field that holds text it goes unchanged;
// into an empty field without its leading ";".
std::u16string AppendPicked(std::u16string_view field, std::u16string_view picked);
// What Insert Contact puts into the body: the picked entries without the leading ";".
std::u16string PickedForBody(std::u16string_view picked);

// The refusal of Send and Save, in the order checked; nothing when both fields hold text.
std::optional<std::u16string> ComposeRefusal(std::u16string_view recipients, std::u16string_view body);

// The flags of a queued message: SEND_FLASH from the Flash box, SEND_STATUS_REPORT from the
// StatusReport setting. SEND_TIMED is the queue's, set with the send time.
uint32_t ComposeSendFlags(bool flash, bool statusReport);

// "yyyy-MM-dd HH:mm".
std::u16string SendTimeText(const SYSTEMTIME& time);
// Reads a time typed as "yyyy-MM-dd HH:mm" or as its twelve digits alone (the separators are
// optional, as the number keys do not type them); nothing for anything else or for a date that
// does not exist. Seconds and milliseconds are 0, the day of the week is filled in.
std::optional<SYSTEMTIME> ParseSendTime(std::u16string_view text);

// Cuts `text` to at most `limit` characters without splitting a UTF-16 character pair.
std::u16string_view CutText(std::u16string_view text, size_t limit);

}  // namespace brevalo
