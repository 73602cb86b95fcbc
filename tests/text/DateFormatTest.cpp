#include <gtest/gtest.h>

#include "common/text/DateFormat.h"
#include "common/text/LocalePatterns.h"

namespace {

platform::SystemTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
  platform::SystemTime st;
  st.wYear = static_cast<std::uint16_t>(y);
  st.wMonth = static_cast<std::uint16_t>(mo);
  st.wDay = static_cast<std::uint16_t>(d);
  st.wHour = static_cast<std::uint16_t>(h);
  st.wMinute = static_cast<std::uint16_t>(mi);
  st.wSecond = static_cast<std::uint16_t>(s);
  st.wDayOfWeek = 3;  // wrong on purpose: the weekday comes from the date
  return st;
}

std::u16string Date(const char* locale, const platform::SystemTime& st, std::u16string_view picture) {
  std::u16string out;
  EXPECT_TRUE(FormatDatePicture(st, picture, platform::GetCalendarNames(locale), out));
  return out;
}

std::u16string Time(const char* locale, const platform::SystemTime& st, std::u16string_view picture) {
  std::u16string out;
  EXPECT_TRUE(FormatTimePicture(st, picture, platform::GetCalendarNames(locale), out));
  return out;
}

}  // namespace

TEST(DateFormat, DateFieldsAndNames) {
  const auto st = At(2009, 2, 28);
  EXPECT_EQ(Date("en_US", st, u"dddd, MMMM d, yyyy"), u"Saturday, February 28, 2009");
  EXPECT_EQ(Date("en_US", st, u"ddd d MMM yy"), u"Sat 28 Feb 09");
  EXPECT_EQ(Date("en_US", At(2005, 3, 7), u"d.M.y dd.MM.yy"), u"7.3.5 07.03.05");
  EXPECT_EQ(Date("de_DE", st, u"dddd, d. MMMM yyyy"), u"Samstag, 28. Februar 2009");
  EXPECT_EQ(Date("ja_JP", st, u"yyyy'年'M'月'd'日'"), u"2009年2月28日");
}

TEST(DateFormat, MonthNameTakesTheFormAfterADayNumber) {
  const auto st = At(2009, 2, 28);
  EXPECT_EQ(Date("ru_RU", st, u"d MMMM"), u"28 февраля");
  EXPECT_EQ(Date("ru_RU", st, u"MMMM yyyy"), u"февраль 2009");
  EXPECT_EQ(Date("ru_RU", st, u"dddd MMMM"), Date("ru_RU", st, u"dddd") + u" февраль");
}

TEST(DateFormat, QuotedLiteralsAndPlainText) {
  const auto st = At(2024, 7, 5);
  EXPECT_EQ(Date("es_ES", st, u"d 'de' MMMM 'de' yyyy"), u"5 de julio de 2024");
  EXPECT_EQ(Date("en_US", st, u"'d''s' d, hh:mm"), u"d's 5, hh:mm");  // time letters are text in a date
  EXPECT_EQ(Date("en_US", st, u"''d'"), u"'5");                        // unterminated quote runs to the end
}

TEST(DateFormat, TimeFieldsAndMarkers) {
  EXPECT_EQ(Time("en_US", At(2024, 1, 1, 0, 5, 7), u"h:mm:ss tt"), u"12:05:07 AM");
  EXPECT_EQ(Time("en_US", At(2024, 1, 1, 13, 0, 0), u"hh:mm t"), u"01:00 P");
  EXPECT_EQ(Time("en_US", At(2024, 1, 1, 9, 4, 3), u"H:m:s HH 'h' d"), u"9:4:3 09 h d");
  EXPECT_EQ(Time("ja_JP", At(2024, 1, 1, 15, 30), u"tt h:mm"), u"午後 3:30");
}

TEST(DateFormat, InvalidValuesFail) {
  const auto names = platform::GetCalendarNames("en_US");
  std::u16string out = u"kept";
  EXPECT_FALSE(FormatDatePicture(At(2009, 2, 29), u"d", names, out));
  EXPECT_FALSE(FormatDatePicture(At(2009, 13, 1), u"MMMM", names, out));
  EXPECT_FALSE(FormatTimePicture(At(2009, 1, 1, 24, 0), u"H", names, out));
  EXPECT_EQ(out, u"kept");
}

TEST(DateFormat, UserLocaleShortcuts) {
  LocalePatterns patterns;
  patterns.szShortDate = u"dd.MM.yyyy";
  SetLocalePatterns(patterns, platform::GetCalendarNames("de_DE"));
  EXPECT_EQ(FormatDate(At(2024, 3, 1), g_szShortDate), u"01.03.2024");
  EXPECT_EQ(FormatDate(At(2024, 3, 1), u"MMMM"), u"März");
  EXPECT_EQ(FormatTime(At(2024, 3, 1, 25, 0), u"HH"), u"");
  ResetLocalePatterns();
}
