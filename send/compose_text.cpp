#include "send/compose_text.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "send/send_record.h"

namespace brevalo {
namespace {

// A number field of a stored record holds at most this many characters.
constexpr size_t kReplyNumberCharacters = 260;

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }

std::vector<std::u16string_view> ResendTokens(std::u16string_view text) {
  std::vector<std::u16string_view> tokens;
  size_t start = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && text[i] != u'\r' && text[i] != u'\n' && text[i] != u'=') continue;
    if (i > start) tokens.push_back(text.substr(start, i - start));
    start = i + 1;
  }
  return tokens;
}

std::u16string Ascii(const char* text) { return std::u16string(text, text + std::char_traits<char>::length(text)); }

}  // namespace

std::u16string_view CutText(std::u16string_view text, size_t limit) {
  if (text.size() <= limit) return text;
  if (limit > 0 && IsHighSurrogate(text[limit - 1])) --limit;
  return text.substr(0, limit);
}

ComposeFields ResendSplit(std::u16string_view stored) {
  ComposeFields fields;
  if (stored.find(u"--") == std::u16string_view::npos) {
    fields.body = stored;
    return fields;
  }
  std::vector<std::u16string_view> tokens = ResendTokens(stored);
  if (tokens.empty()) return fields;
  size_t colon = tokens[0].find(u':');
  if (colon != std::u16string_view::npos) fields.recipients = tokens[0].substr(colon + 1);
  if (tokens.size() > 2) fields.body = tokens[2];
  return fields;
}

ComposeFields FieldsFromMessage(ComposeMode mode, std::u16string_view number,
                                std::u16string_view content) {
  switch (mode) {
    case ComposeMode::kReply:
      return {std::u16string(CutText(number, kReplyNumberCharacters)), {}};
    case ComposeMode::kResend:
      return ResendSplit(content);
    case ComposeMode::kNew:
      break;
  }
  return {{}, std::u16string(content)};
}

ComposeFields FieldsFromTexts(ComposeMode mode, std::u16string_view body,
                              std::u16string_view recipients) {
  if (mode == ComposeMode::kResend) return ResendSplit(body);
  return {std::u16string(recipients), std::u16string(body)};
}

std::u16string CounterText(std::u16string_view body) {
  const std::u16string_view counted = body.substr(0, std::min(body.size(), kCountedCharacters));
  int capacity = 160;
  for (char16_t c : counted) {
    if (c > 0xFF) capacity = 70;
  }
  char text[32];
  std::snprintf(text, sizeof text, "%d/%d", static_cast<int>(counted.size()), capacity);
  return Ascii(text);
}

std::u16string ForwardText(std::u16string_view text) {
  return std::u16string(CutText(text, kForwardCharacters));
}

SignedBody AppendSignature(std::u16string_view body, std::u16string_view sign) {
  SignedBody out{std::u16string(body), body.size()};
  out.text += sign;
  return out;
}

std::u16string AppendPicked(std::u16string_view field, std::u16string_view picked) {
  std::u16string out(field);
  if (out.empty() && !picked.empty() && picked.front() == u';') picked.remove_prefix(1);
  out += picked;
  return out;
}

std::u16string PickedForBody(std::u16string_view picked) {
  if (!picked.empty() && picked.front() == u';') picked.remove_prefix(1);
  return std::u16string(picked);
}

std::optional<std::u16string> ComposeRefusal(std::u16string_view recipients, std::u16string_view body) {
  if (recipients.empty()) return u"Phone Number can't be empty!";
  if (body.empty()) return u"Content can't be empty!";
  return std::nullopt;
}

uint32_t ComposeSendFlags(bool flash, bool statusReport) {
  return (flash ? SEND_FLASH : 0u) | (statusReport ? SEND_STATUS_REPORT : 0u);
}

std::u16string SendTimeText(const SYSTEMTIME& time) {
  char text[40];
  std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u", time.wYear, time.wMonth, time.wDay,
                time.wHour, time.wMinute);
  return Ascii(text);
}

std::optional<SYSTEMTIME> ParseSendTime(std::u16string_view text) {
  std::vector<int> digits;
  // Separators may stand only where the written form has them.
  static constexpr char16_t kSeparators[] = u"-- :";
  size_t separator = 0;
  for (char16_t c : text) {
    if (c >= u'0' && c <= u'9') {
      digits.push_back(c - u'0');
      continue;
    }
    const size_t expectedAfter[] = {4, 6, 8, 10};
    if (separator >= 4 || digits.size() != expectedAfter[separator] || c != kSeparators[separator]) {
      return std::nullopt;
    }
    ++separator;
  }
  if (digits.size() != 12) return std::nullopt;
  auto number = [&](size_t from, size_t count) {
    int value = 0;
    for (size_t i = from; i < from + count; ++i) value = value * 10 + digits[i];
    return value;
  };
  SYSTEMTIME time{};
  time.wYear = static_cast<uint16_t>(number(0, 4));
  time.wMonth = static_cast<uint16_t>(number(4, 2));
  time.wDay = static_cast<uint16_t>(number(6, 2));
  time.wHour = static_cast<uint16_t>(number(8, 2));
  time.wMinute = static_cast<uint16_t>(number(10, 2));
  if (time.wYear < 1601 || time.wHour > 23 || time.wMinute > 59) return std::nullopt;
  FILETIME ticks;
  SYSTEMTIME back;
  // A day the calendar lacks (31 April) does not come back unchanged.
  if (!SystemTimeToFileTime(time, &ticks) || !FileTimeToSystemTime(ticks, &back)) return std::nullopt;
  if (back.wYear != time.wYear || back.wMonth != time.wMonth || back.wDay != time.wDay) return std::nullopt;
  time.wDayOfWeek = back.wDayOfWeek;
  return time;
}

}  // namespace brevalo
