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

DatePictures UserDatePictures(Registry& registry) {
  auto picture = [&](std::u16string_view name, std::u16string_view fallback) {
    return registry.QueryString(RegRoot::CurrentUser, kInternationalKey, name)
        .value_or(std::u16string(fallback));
  };
  return {picture(kShortDateValue, kDefaultShortDate), picture(kTimeFormatValue, kDefaultTimeFormat)};
}

std::u16string DateTimeText(const std::tm& time, const DatePictures& pictures) {
  return FormatDatePicture(time, pictures.shortDate) + u" " + FormatDatePicture(time, pictures.time);
}

std::u16string LocalDateTimeText(Registry& registry, const std::tm& time) {
  return DateTimeText(time, UserDatePictures(registry));
}

}  // namespace brevalo
