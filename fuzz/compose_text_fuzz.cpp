// Any stored text as Resend, Forward and group sending read it, and any typed send time: the
// fields stay within what they were cut from, the counter within its bounds, a group row always
// has a number, and a time read back names a moment that exists.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "send/compose_text.h"
#include "send/group_sender.h"

using namespace brevalo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::u16string text;
  for (size_t i = 0; i + 1 < size; i += 2) text.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));

  const ComposeFields fields = ResendSplit(text);
  if (fields.recipients.size() + fields.body.size() > text.size()) std::abort();
  if (fields.body.find_first_of(u"\r\n=") != std::u16string::npos && text.find(u"--") != std::u16string::npos) {
    std::abort();
  }
  if (ForwardText(text).size() > kForwardCharacters) std::abort();
  const std::u16string counter = CounterText(text);
  if (counter.size() > 7 || counter.find(u'/') == std::u16string::npos) std::abort();
  if (AppendPicked(u"", text).size() > text.size()) std::abort();

  for (const GroupSendRow& row : GroupSendRows(text)) {
    if (row.number.empty()) std::abort();
  }

  if (std::optional<SYSTEMTIME> time = ParseSendTime(text)) {
    if (time->wMonth < 1 || time->wMonth > 12 || time->wDay < 1 || time->wDay > 31 || time->wHour > 23 ||
        time->wMinute > 59 || time->wSecond != 0) {
      std::abort();
    }
    if (ParseSendTime(SendTimeText(*time)) == std::nullopt) std::abort();
  }
  return 0;
}
