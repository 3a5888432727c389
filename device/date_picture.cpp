#include "device/date_picture.h"

namespace brevalo {
namespace {

constexpr const char16_t* kDayNames[] = {u"Sunday",   u"Monday", u"Tuesday", u"Wednesday",
                                         u"Thursday", u"Friday", u"Saturday"};
constexpr const char16_t* kMonthNames[] = {u"January", u"February", u"March",     u"April",
                                           u"May",     u"June",     u"July",      u"August",
                                           u"September", u"October", u"November", u"December"};

std::u16string Number(int value, size_t minDigits) {
  std::u16string digits;
  unsigned v = value < 0 ? 0u : static_cast<unsigned>(value);
  do {
    digits.insert(digits.begin(), static_cast<char16_t>(u'0' + v % 10));
    v /= 10;
  } while (v > 0);
  while (digits.size() < minDigits) digits.insert(digits.begin(), u'0');
  return digits;
}

int Clamp(int value, int low, int high) { return value < low ? low : value > high ? high : value; }

// The text of one run of the same picture letter.
std::u16string Field(char16_t letter, size_t run, const std::tm& t) {
  int hour12 = t.tm_hour % 12 == 0 ? 12 : t.tm_hour % 12;
  std::u16string_view dayName = kDayNames[Clamp(t.tm_wday, 0, 6)];
  std::u16string_view monthName = kMonthNames[Clamp(t.tm_mon, 0, 11)];
  switch (letter) {
    case u'd':
      if (run >= 4) return std::u16string(dayName);
      if (run == 3) return std::u16string(dayName.substr(0, 3));
      return Number(t.tm_mday, run);
    case u'M':
      if (run >= 4) return std::u16string(monthName);
      if (run == 3) return std::u16string(monthName.substr(0, 3));
      return Number(t.tm_mon + 1, run);
    case u'y':
      if (run <= 2) return Number((t.tm_year + 1900) % 100, run == 1 ? 1 : 2);
      return Number(t.tm_year + 1900, 4);
    case u'g': return u"A.D.";
    case u'h': return Number(hour12, run >= 2 ? 2 : 1);
    case u'H': return Number(t.tm_hour, run >= 2 ? 2 : 1);
    case u'm': return Number(t.tm_min, run >= 2 ? 2 : 1);
    case u's': return Number(t.tm_sec, run >= 2 ? 2 : 1);
    case u't': {
      std::u16string marker = t.tm_hour < 12 ? u"AM" : u"PM";
      return run >= 2 ? marker : marker.substr(0, 1);
    }
    default: return std::u16string(run, letter);
  }
}

bool IsPictureLetter(char16_t c) {
  return std::u16string_view(u"dMygHhmst").find(c) != std::u16string_view::npos;
}

}  // namespace

std::u16string FormatDatePicture(const std::tm& time, std::u16string_view picture) {
  std::u16string out;
  size_t i = 0;
  while (i < picture.size()) {
    char16_t c = picture[i];
    if (c == u'\'') {
      ++i;
      if (i < picture.size() && picture[i] == u'\'') {
        out += u'\'';
        ++i;
        continue;
      }
      while (i < picture.size() && picture[i] != u'\'') out += picture[i++];
      ++i;  // the closing quote, when there is one
      continue;
    }
    size_t run = 1;
    while (i + run < picture.size() && picture[i + run] == c) ++run;
    out += IsPictureLetter(c) ? Field(c, run, time) : std::u16string(run, c);
    i += run;
  }
  return out;
}

}  // namespace brevalo
