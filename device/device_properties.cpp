#include "device/device_properties.h"

#include "device/date_picture.h"

namespace brevalo {

CodePage DeviceCodePage(Registry& registry) {
  std::optional<uint32_t> number =
      registry.QueryDword(RegRoot::LocalMachine, kDeviceKey, kAnsiCodePageValue);
  if (!number) return CodePage();
  std::optional<CodePage> page = CodePage::Open(*number);
  return page ? *page : CodePage();
}

std::u16string LocalDateTimeText(Registry& registry, const std::tm& time) {
  std::u16string date = registry.QueryString(RegRoot::CurrentUser, kInternationalKey,
                                             kShortDateValue)
                            .value_or(std::u16string(kDefaultShortDate));
  std::u16string clock = registry.QueryString(RegRoot::CurrentUser, kInternationalKey,
                                              kTimeFormatValue)
                             .value_or(std::u16string(kDefaultTimeFormat));
  return FormatDatePicture(time, date) + u" " + FormatDatePicture(time, clock);
}

}  // namespace brevalo
