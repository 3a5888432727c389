#include "device/date_picture.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>

#include "device/device_properties.h"

namespace brevalo {
namespace {

std::tm Moment(int year, int month, int day, int hour, int minute, int second, int weekday) {
  std::tm t{};
  t.tm_year = year - 1900;
  t.tm_mon = month - 1;
  t.tm_mday = day;
  t.tm_hour = hour;
  t.tm_min = minute;
  t.tm_sec = second;
  t.tm_wday = weekday;
  return t;
}

TEST(DatePictureTest, EveryPictureLetter) {
  std::tm evening = Moment(2026, 3, 7, 21, 5, 9, 6);
  std::tm noon = Moment(2009, 12, 25, 12, 0, 0, 5);
  std::tm midnight = Moment(2009, 12, 25, 0, 30, 0, 5);
  struct Case {
    const std::tm* time;
    std::u16string picture;
    std::u16string text;
  };
  const Case cases[] = {
      {&evening, u"M/d/yyyy", u"3/7/2026"},
      {&evening, u"dd.MM.yy", u"07.03.26"},
      {&evening, u"ddd, MMM d", u"Sat, Mar 7"},
      {&evening, u"dddd d MMMM yyyy g", u"Saturday 7 March 2026 A.D."},
      {&evening, u"h:mm:ss tt", u"9:05:09 PM"},
      {&evening, u"HH:mm t", u"21:05 P"},
      {&noon, u"hh:mm tt", u"12:00 PM"},
      {&midnight, u"h:mm tt", u"12:30 AM"},
      {&evening, u"'Day' d 'of' M, o''clock", u"Day 7 of 3, o'clock"},
      {&evening, u"yyyy'unterminated", u"2026unterminated"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FormatDatePicture(*c.time, c.picture), c.text);
  }
}

TEST(DatePictureTest, OutOfRangeFieldsStayInsideTheNameTables) {
  std::tm odd = Moment(2026, 1, 1, 0, 0, 0, 9);
  odd.tm_mon = 14;
  EXPECT_EQ(FormatDatePicture(odd, u"dddd MMMM"), u"Saturday December");
}

TEST(DevicePropertiesTest, PicturesAndCodePageComeFromTheRegistryOrDefaults) {
  std::filesystem::path file = std::filesystem::temp_directory_path() /
                               ("device-properties-" + std::to_string(getpid()) + ".reg");
  Registry registry(file);
  std::tm t = Moment(2026, 12, 8, 23, 59, 1, 2);
  EXPECT_EQ(LocalDateTimeText(registry, t), u"12/8/2026 11:59:01 PM");
  EXPECT_EQ(DeviceCodePage(registry).Number(), 65001u);
  ASSERT_TRUE(registry.SetString(RegRoot::CurrentUser, kInternationalKey, kShortDateValue,
                                 u"yyyy-MM-dd"));
  ASSERT_TRUE(registry.SetString(RegRoot::CurrentUser, kInternationalKey, kTimeFormatValue,
                                 u"HH:mm"));
  ASSERT_TRUE(registry.SetDword(RegRoot::LocalMachine, kDeviceKey, kAnsiCodePageValue, 936));
  EXPECT_EQ(LocalDateTimeText(registry, t), u"2026-12-08 23:59");
  EXPECT_EQ(DeviceCodePage(registry).Number(), 936u);
  ASSERT_TRUE(registry.SetDword(RegRoot::LocalMachine, kDeviceKey, kAnsiCodePageValue, 4242424));
  EXPECT_EQ(DeviceCodePage(registry).Number(), 65001u);
  EXPECT_EQ(DeviceScreenSize(registry).width, 240u);
  EXPECT_EQ(DeviceOwnNumber(registry), u"");
  ASSERT_TRUE(registry.SetDword(RegRoot::LocalMachine, kDeviceKey, kScreenWidthValue, 480));
  ASSERT_TRUE(registry.SetDword(RegRoot::LocalMachine, kDeviceKey, kScreenHeightValue, 640));
  ASSERT_TRUE(registry.SetString(RegRoot::LocalMachine, kDeviceKey, kOwnNumberValue, u"+8613700000000"));
  EXPECT_EQ(DeviceScreenSize(registry).height, 640u);
  EXPECT_EQ(DeviceOwnNumber(registry), u"+8613700000000");
  ASSERT_TRUE(registry.SetDword(RegRoot::LocalMachine, kDeviceKey, kScreenHeightValue, 5));
  EXPECT_EQ(DeviceScreenSize(registry).height, 320u);  // nonsense falls back whole
  EXPECT_EQ(DeviceScreenSize(registry).width, 240u);
  std::filesystem::remove(file);
  std::filesystem::remove(file.string() + ".lock");
}

}  // namespace
}  // namespace brevalo
