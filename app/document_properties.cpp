#include "app/document_properties.h"

#include "device/device_properties.h"
#include "device/system_time.h"

namespace brevalo {

CodePage DocumentCodePage(uint32_t codePage) { return CodePage::Open(codePage).value_or(CodePage()); }

StoreHeader NewHeaderTemplate(std::u16string_view author, const CodePage& page) {
  StoreHeader header;
  page.ToFixedField(author, header.author, kHeaderAuthorSize);
  return header;
}

std::u16string KeptRecordAuthor(std::u16string_view typed) {
  size_t keep = std::min(typed.size(), kRecordAuthorKeptChars);
  if (keep > 0 && keep < typed.size() && typed[keep - 1] >= 0xD800 && typed[keep - 1] <= 0xDBFF) --keep;
  return std::u16string(typed.substr(0, keep));
}

std::u16string DocumentDateText(Registry& registry, double oleDate) {
  std::tm moment{};
  if (oleDate == 0 || !OleDateToTm(oleDate, &moment)) return {};
  return LocalDateTimeText(registry, moment);
}

}  // namespace brevalo
