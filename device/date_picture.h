// Date and time text from the phone's picture strings, as the user's regional settings give them
// (sShortDate "M/d/yyyy", sTimeFormat "h:mm:ss tt"): d dd ddd dddd, M MM MMM MMMM, y yy yyyy,
// g (era), h hh H HH, m mm, s ss, t tt; text in single quotes is copied, '' is a quote.
#pragma once

#include <ctime>
#include <string>
#include <string_view>

namespace brevalo {

std::u16string FormatDatePicture(const std::tm& time, std::u16string_view picture);

}  // namespace brevalo
