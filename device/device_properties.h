// The properties of the emulated device that live in its registry, written by `phonesim init`:
// the ANSI code page under HKEY_LOCAL_MACHINE\Device and the user's date and time pictures
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
inline constexpr std::u16string_view kInternationalKey = u"Control Panel\\International";
inline constexpr std::u16string_view kShortDateValue = u"sShortDate";
inline constexpr std::u16string_view kTimeFormatValue = u"sTimeFormat";
inline constexpr std::u16string_view kDefaultShortDate = u"M/d/yyyy";
inline constexpr std::u16string_view kDefaultTimeFormat = u"h:mm:ss tt";

// The device's code page; 65001 when none is set or iconv does not know the one that is.
CodePage DeviceCodePage(Registry& registry);

// "date time" in the user's pictures, as the phone shows a moment to the user.
std::u16string LocalDateTimeText(Registry& registry, const std::tm& time);

}  // namespace brevalo
