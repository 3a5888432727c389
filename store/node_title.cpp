#include "store/node_title.h"

#include <algorithm>

namespace brevalo {

TitleContact ParseTitleContact(std::u16string_view contact) {
  TitleContact out;
  bool inName = false;
  for (char16_t c : contact) {
    if (c == u';' || c == u'>') break;
    if (c == u'"') {
      if (inName) {
        out.name += u' ';
        out.hasName = true;
      }
      inName = !inName;
    } else if (c == u'(' || c == u')' || c == u'-') {
      continue;
    } else if (c == u'<') {
      out.number.clear();
    } else {
      (inName ? out.name : out.number) += c;
    }
  }
  out.number += u' ';
  return out;
}

std::u16string BodySummary(std::u16string_view body, int32_t length) {
  size_t limit = length > 0 ? std::min(body.size(), static_cast<size_t>(length)) : 0;
  size_t end = body.substr(0, limit).find_first_of(u"\t\n\r");
  return std::u16string(body.substr(0, std::min(end, limit)));
}

std::u16string BuildTitle(std::u16string_view contact, std::u16string_view body,
                          std::u16string_view timeText, int32_t mode, int32_t summaryLength) {
  std::u16string title;
  switch (mode) {
    case kTitleSummary:
      title = BodySummary(body, summaryLength);
      break;
    case kTitleContactSummary:
      title = ParseTitleContact(contact).Shown() + BodySummary(body, summaryLength);
      break;
    case kTitleContactTime:
      title = ParseTitleContact(contact).Shown();
      title += timeText.substr(0, kTitleTimeCapacity);
      break;
    default:
      break;
  }
  if (title.size() > kTitleCapacity) title.resize(kTitleCapacity);
  return title;
}

}  // namespace brevalo
