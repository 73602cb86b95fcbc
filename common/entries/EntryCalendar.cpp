#include "common/entries/EntryCalendar.h"

#include <algorithm>

int DaysInMonth(int month, int year) { return platform::DaysInMonthOf(year, month); }

CalendarDate DateOfFileTime(platform::FileTime ft) {
  int year = 0, month = 0, day = 0;
  if (!platform::FileTimeToDate(std::min(ft, platform::TIME_NONE), year, month, day)) return {};
  return {year, month, day};
}

bool MidnightOf(const CalendarDate& date, platform::FileTime& out) {
  if (date.year < 0 || date.year > 0xFFFF || date.month < 1 || date.month > 12 || date.day < 1 || date.day > 31) {
    return false;
  }
  platform::SystemTime st;
  st.wYear = static_cast<std::uint16_t>(date.year);
  st.wMonth = static_cast<std::uint16_t>(date.month);
  st.wDay = static_cast<std::uint16_t>(date.day);
  return platform::SystemTimeToFileTime(st, out);
}

CalendarDate Today() { return DateOfFileTime(platform::GetLocalFileTime()); }

std::int64_t DayNumber(const CalendarDate& date) {
  // Counts from 1 March so that the leap day closes the year.
  const std::int64_t y = date.month <= 2 ? date.year - 1 : date.year;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t yearOfEra = y - era * 400;
  const std::int64_t monthFromMarch = date.month > 2 ? date.month - 3 : date.month + 9;
  const std::int64_t dayOfYear = (153 * monthFromMarch + 2) / 5 + date.day - 1;
  const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

int WeekDayOf(const CalendarDate& date) {
  // 1 January 1970 was a Thursday.
  const std::int64_t n = (DayNumber(date) + 4) % 7;
  return static_cast<int>(n < 0 ? n + 7 : n);
}

CalendarDate PlaceInYear(int month, int day, int year) {
  const int last = DaysInMonth(month, year);
  // 29 February of a common year, and nothing else, moves to the last day.
  if (month == 2 && day > last) day = last;
  return {year, month, day};
}

bool IsTodayOrLater(int month, int day, const CalendarDate& today) {
  return month > today.month || (month == today.month && day >= today.day);
}

CalendarDate NextOccurrence(const CalendarDate& date, const CalendarDate& today) {
  const int year = IsTodayOrLater(date.month, date.day, today) ? today.year : today.year + 1;
  return PlaceInYear(date.month, date.day, year);
}
