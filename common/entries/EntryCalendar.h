#pragma once
// Calendar arithmetic on the dates of entries: days in a month, the date of a
// FileTime, whole-day differences and where a yearly date falls next.
//
// Leap years follow the Gregorian rule, so 29 February 2100 does not exist and
// an entry of 29 February falls on the 28th in 2100 as in any common year.
#include <cstdint>

#include "platform/clock/Clock.h"

struct CalendarDate {
  int year = 1601;
  int month = 1;
  int day = 1;
  bool operator==(const CalendarDate&) const = default;
};

// A date kept without a year (a birthday whose year nobody knows) is stored in
// the year 1604: a leap year, so 29 February exists, and later than 1601, the
// first year a FileTime holds, so every reader of the storage file takes it as
// an ordinary date. The yearly rule uses only its month and day, so reminders
// come as for any date; texts leave out its year and never give it an age.
inline constexpr int kYearUnknown = 1604;
inline bool IsYearUnknown(const CalendarDate& date) { return date.year == kYearUnknown; }

// 31, 30, 29 or 28; 0 for a month outside 1..12.
int DaysInMonth(int month, int year);

// Year, month and day of a local FileTime; values beyond the last
// representable moment count as that moment.
CalendarDate DateOfFileTime(platform::FileTime ft);
// Midnight of the date; false when it cannot be represented as a FileTime.
bool MidnightOf(const CalendarDate& date, platform::FileTime& out);
// Today's local date, from the process clock.
CalendarDate Today();

// Days since 1 January 1970 (negative before); defined for every year.
std::int64_t DayNumber(const CalendarDate& date);
// Weekday of a date: Sunday 0 .. Saturday 6.
int WeekDayOf(const CalendarDate& date);

// The month and day placed into `year`: 29 February becomes 28 February in a
// common year.
CalendarDate PlaceInYear(int month, int day, int year);
// Whether a yearly date of this month and day is still to come this year (or
// is today), seen from `today`.
bool IsTodayOrLater(int month, int day, const CalendarDate& today);
// The next date, today included, on which the yearly date `date` falls.
CalendarDate NextOccurrence(const CalendarDate& date, const CalendarDate& today);
