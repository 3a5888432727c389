#include "store/sent_content.h"

namespace brevalo {
namespace {

constexpr std::u16string_view kSendTo = u"Send To:";
constexpr std::u16string_view kSeparator = u"\r\n--------------------\r\n";

// Characters of one UTF-16 code point: a surrogate pair stays together when text is cut.
size_t CodePointLength(std::u16string_view text, size_t at) {
  const char16_t c = text[at];
  const bool pair = c >= 0xD800 && c <= 0xDBFF && at + 1 < text.size() &&
                    text[at + 1] >= 0xDC00 && text[at + 1] <= 0xDFFF;
  return pair ? 2 : 1;
}

std::u16string_view Trimmed(std::u16string_view text) {
  while (!text.empty() && text.front() == u' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == u' ') text.remove_suffix(1);
  return text;
}

RecipientNumber EntryOf(std::u16string_view entry) {
  RecipientNumber result;
  const size_t open = entry.find(u'<');
  if (open == std::u16string_view::npos) {
    result.number = Trimmed(entry);
    return result;
  }
  const size_t close = entry.find(u'>', open);
  result.number = Trimmed(entry.substr(open + 1, close == std::u16string_view::npos
                                                     ? std::u16string_view::npos
                                                     : close - open - 1));
  std::u16string_view name = Trimmed(entry.substr(0, open));
  if (name.size() >= 2 && name.front() == u'"' && name.back() == u'"') {
    name = name.substr(1, name.size() - 2);
  }
  result.name = name;
  return result;
}

}  // namespace

std::u16string SentContent(const CodePage& page, std::u16string_view recipients,
                           std::u16string_view text) {
  std::u16string content(kSendTo);
  content += recipients;
  content += kSeparator;
  content += text;
  const size_t room = kSentContentCapacity - 1;
  if (page.FromUtf16(content).size() <= room) return content;
  size_t bytes = 0;
  size_t end = 0;
  while (end < content.size()) {
    const size_t length = CodePointLength(content, end);
    const size_t more = page.FromUtf16(std::u16string_view(content).substr(end, length)).size();
    if (bytes + more > room) break;
    bytes += more;
    end += length;
  }
  content.resize(end);
  return content;
}

std::u16string_view SentTitleContact(std::u16string_view recipients) {
  const size_t end = recipients.find_first_of(u";<>");
  if (end == std::u16string_view::npos) return recipients;
  return recipients.substr(0, recipients[end] == u'<' ? end + 1 : end);
}

std::optional<SentParts> ParseSentContent(std::u16string_view body) {
  if (body.substr(0, kSendTo.size()) != kSendTo) return std::nullopt;
  const size_t separator = body.find(kSeparator);
  if (separator == std::u16string_view::npos) return std::nullopt;
  SentParts parts;
  parts.recipients = body.substr(kSendTo.size(), separator - kSendTo.size());
  parts.text = body.substr(separator + kSeparator.size());
  return parts;
}

std::vector<RecipientNumber> RecipientNumbers(std::u16string_view recipients) {
  std::vector<RecipientNumber> numbers;
  size_t at = 0;
  while (at <= recipients.size()) {
    size_t end = recipients.find(u';', at);
    if (end == std::u16string_view::npos) end = recipients.size();
    RecipientNumber entry = EntryOf(recipients.substr(at, end - at));
    if (!entry.number.empty()) numbers.push_back(std::move(entry));
    at = end + 1;
  }
  return numbers;
}

}  // namespace brevalo
