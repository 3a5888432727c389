// The properties of the emulated device that live in its registry, written by `phonesim init`:
// the ANSI code page, screen size and own number under HKEY_LOCAL_MACHINE\Device and the user's date and time pictures
// under HKEY_CURRENT_USER\Control Panel\International.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

#include "device/code_page.h"
#include "device/registry.h"

namespace brevalo {

inline constexpr std::u16string_view kDeviceKey = u"Device";
inline constexpr std::u16string_view kAnsiCodePageValue = u"AnsiCodePage";
inline constexpr std::u16string_view kScreenWidthValue = u"ScreenWidth";    // DWORD pixels
inline constexpr std::u16string_view kScreenHeightValue = u"ScreenHeight";  // DWORD pixels
inline constexpr std::u16string_view kOwnNumberValue = u"OwnNumber";        // REG_SZ
inline constexpr uint32_t kDefaultScreenWidth = 240;
inline constexpr uint32_t kDefaultScreenHeight = 320;
inline constexpr std::u16string_view kInternationalKey = u"Control Panel\\International";
inline constexpr std::u16string_view kShortDateValue = u"sShortDate";
inline constexpr std::u16string_view kTimeFormatValue = u"sTimeFormat";
inline constexpr std::u16string_view kDefaultShortDate = u"M/d/yyyy";
inline constexpr std::u16string_view kDefaultTimeFormat = u"h:mm:ss tt";

// The device's code page; 65001 when none is set or iconv does not know the one that is.
CodePage DeviceCodePage(Registry& registry);

struct ScreenSize {
  uint32_t width;
  uint32_t height;
};
// The screen's size; 240x320 when none is set or a side is outside 100..2000 pixels.
ScreenSize DeviceScreenSize(Registry& registry);
// The phone's own number; empty when none is set.
std::u16string DeviceOwnNumber(Registry& registry);

// The user's date and time pictures (device/date_picture.h), or the defaults where none is set.
struct DatePictures {
  std::u16string shortDate;
  std::u16string time;
};
DatePictures UserDatePictures(Registry& registry);
// "date time" in those pictures.
std::u16string DateTimeText(const std::tm& time, const DatePictures& pictures);

// "date time" in the user's pictures, as the phone shows a moment to the user.
std::u16string LocalDateTimeText(Registry& registry, const std::tm& time);

}  // namespace brevalo
