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

ScreenSize DeviceScreenSize(Registry& registry) {
  auto side = [&](std::u16string_view name) {
    return registry.QueryDword(RegRoot::LocalMachine, kDeviceKey, name);
  };
  std::optional<uint32_t> width = side(kScreenWidthValue);
  std::optional<uint32_t> height = side(kScreenHeightValue);
  auto sensible = [](std::optional<uint32_t> v) { return v && *v >= 100 && *v <= 2000; };
  if (!sensible(width) || !sensible(height)) return {kDefaultScreenWidth, kDefaultScreenHeight};
  return {*width, *height};
}

std::u16string DeviceOwnNumber(Registry& registry) {
  return registry.QueryString(RegRoot::LocalMachine, kDeviceKey, kOwnNumberValue).value_or(u"");
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
