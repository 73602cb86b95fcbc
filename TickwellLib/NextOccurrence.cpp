#include "TickwellLib/NextOccurrence.h"

#include <algorithm>

#include "TickwellLib/KindRules.h"

using platform::FILETIME_PER_DAY;
using platform::FileTime;
using platform::SystemTime;
using platform::TIME_NONE;

namespace {

// A Monthly rule that finds no day in the next twelve months (the 23rd working
// day, the 10th weekend day, the 29th of a February-only item) may still occur
// later; the scan goes on month by month for this long, so such an item is
// scheduled rather than silently dropped. 28 years repeat the weekday pattern.
constexpr int kMonthlyHorizonMonths = 28 * 12 + 1;

constexpr int kSunday = 0;
constexpr int kSaturday = 6;

// Hour, minute, second and millisecond of the start; finer units are not part of
// an occurrence.
FileTime TimeOfDay(FileTime start) {
  constexpr FileTime kMillisecond = 10'000;
  return (start % FILETIME_PER_DAY) / kMillisecond * kMillisecond;
}

// The date at the given time of day; false for an invalid date (day 0, 31 April,
// 29 February of a common year), which must never roll into the next month.
bool AtTimeOfDay(int year, int month, int day, FileTime timeOfDay, FileTime& out) {
  if (day < 1 || day > 31 || month < 1 || month > 12 || year < 1601 || year > 30827) return false;
  SystemTime st;
  st.wYear = static_cast<std::uint16_t>(year);
  st.wMonth = static_cast<std::uint16_t>(month);
  st.wDay = static_cast<std::uint16_t>(day);
  FileTime midnight = 0;
  if (!platform::SystemTimeToFileTime(st, midnight)) return false;
  out = midnight + timeOfDay;
  return true;
}

bool IsOccurrenceAfter(FileTime candidate, FileTime now) { return candidate > now && candidate < TIME_NONE; }

// Weekday number (Sunday 0) of one weekday bit; anything else counts as Sunday.
int WeekdayOfBit(std::uint32_t bit) {
  switch (bit) {
    case 1: return 1;
    case 2: return 2;
    case 4: return 3;
    case 8: return 4;
    case 16: return 5;
    case 32: return 6;
    default: return kSunday;
  }
}

bool IsWeekend(int weekday) { return weekday == kSaturday || weekday == kSunday; }

// TIME_NONE (or anything beyond it) as a start gives no time of day, so no
// recurring kind occurs.
bool HasStart(const ScheduleFields& item) { return item.m_ftStart < TIME_NONE; }

FileTime NextWeekly(const ScheduleFields& item, FileTime now) {
  const std::uint32_t mask = item.m_dwWeekDays & 0x7F;
  if (mask == 0 || now >= TIME_NONE || !HasStart(item)) return TIME_NONE;
  const FileTime days = now / FILETIME_PER_DAY;
  const FileTime midnight = days * FILETIME_PER_DAY;
  const FileTime timeOfDay = TimeOfDay(item.m_ftStart);
  const int sundayBased = static_cast<int>((days + 1) % 7);  // 1601-01-01 was a Monday
  const int today = sundayBased == kSunday ? 7 : sundayBased;  // Monday 1 .. Sunday 7
  FileTime best = TIME_NONE;
  for (int i = 1; i <= 7; ++i) {
    if ((mask & (1u << (i - 1))) == 0) continue;
    const auto ahead = static_cast<FileTime>((i - today + 7) % 7);
    FileTime candidate = midnight + ahead * FILETIME_PER_DAY + timeOfDay;
    if (i == today && candidate <= now) candidate += 7 * FILETIME_PER_DAY;
    if (IsOccurrenceAfter(candidate, now) && candidate < best) best = candidate;
  }
  return best;
}

// The longest a masked month can be (February 29 days).
int LongestMonth(std::uint32_t months) {
  constexpr std::uint32_t k31DayMonths = 0b1010'1101'0101;  // Jan Mar May Jul Aug Oct Dec
  constexpr std::uint32_t k30DayMonths = 0b0101'0010'1000;  // Apr Jun Sep Nov
  if ((months & k31DayMonths) != 0) return 31;
  if ((months & k30DayMonths) != 0) return 30;
  return 29;
}

FileTime NextMonthly(const ScheduleFields& item, FileTime now) {
  const std::uint32_t months = item.m_dwMonths & 0xFFF;
  SystemTime n;
  if (!MonthlyRuleCanMatch(item) || !HasStart(item) || !platform::FileTimeToSystemTime(now, n)) return TIME_NONE;
  const FileTime timeOfDay = TimeOfDay(item.m_ftStart);
  int year = n.wYear;
  int month = n.wMonth;
  // Months in time order from the current one: the first valid candidate later
  // than now is the earliest. The current month comes round again a year later,
  // with its day computed for that year's calendar.
  for (int i = 0; i < kMonthlyHorizonMonths; ++i) {
    if ((months & (1u << (month - 1))) != 0) {
      FileTime candidate = 0;
      const int day = MonthlyDay(item, year, month, n.wDay);
      if (AtTimeOfDay(year, month, day, timeOfDay, candidate) && IsOccurrenceAfter(candidate, now)) return candidate;
    }
    if (++month > 12) {
      month = 1;
      ++year;
    }
  }
  return TIME_NONE;
}

FileTime NextYearly(const ScheduleFields& item, FileTime now) {
  SystemTime s;
  SystemTime n;
  if (!HasStart(item) || !platform::FileTimeToSystemTime(item.m_ftStart, s) || !platform::FileTimeToSystemTime(now, n)) return TIME_NONE;
  const FileTime timeOfDay = TimeOfDay(item.m_ftStart);
  // 29 February exists only in leap years, which lie up to eight years apart
  // (2096, then 2104); every other date needs this year or the next.
  const bool leapDay = s.wMonth == 2 && s.wDay == 29;
  const int tries = leapDay ? 9 : 2;
  for (int i = 0; i < tries; ++i) {
    FileTime candidate = 0;
    if (AtTimeOfDay(n.wYear + i, s.wMonth, s.wDay, timeOfDay, candidate) && IsOccurrenceAfter(candidate, now))
      return candidate;
  }
  return TIME_NONE;
}

}  // namespace

bool MonthlyRuleCanMatch(const ScheduleFields& item) {
  const std::uint32_t months = item.m_dwMonths & 0xFFF;
  if (months == 0) return false;
  const std::int64_t longest = LongestMonth(months);
  const std::int64_t ordinal = item.m_nMonthDay;
  switch (item.m_wMonthlyType) {
    case ByDay:
      return ordinal > 0 ? ordinal <= longest : longest + ordinal >= 1;
    case ByWorkDays:
      // A month of 28 + k days has at most 20 + k working days.
      return ordinal == kLastOfMonthOrdinal || ordinal <= longest - 8;
    case ByWeekends:
      // ... and at most 8 + k weekend days, never more than 10.
      return ordinal == kLastOfMonthOrdinal || ordinal <= std::min<std::int64_t>(10, longest - 20);
    default:
      return true;
  }
}

int MonthlyDay(const ScheduleFields& item, int year, int month, int dayOfNow) {
  const int daysInMonth = platform::DaysInMonthOf(year, month);
  if (daysInMonth == 0) return 0;
  const std::uint16_t type = item.m_wMonthlyType;
  if (type == ByDay) {
    // 0 is the last day, -1 the day before it, and so on.
    const std::int64_t day = item.m_nMonthDay > 0 ? item.m_nMonthDay : std::int64_t{daysInMonth} + item.m_nMonthDay;
    return day < 0 || day > 31 ? 0 : static_cast<int>(day);
  }
  if (type != ByWeekDay && type != ByWorkDays && type != ByWeekends)
    return dayOfNow;

  const int firstWeekday = platform::DayOfWeek(year, month, 1);
  const int wanted = WeekdayOfBit(item.m_dwWeekDay);
  const bool wantLast = type == ByWeekDay ? item.m_dwWeekOfMonth > 3
                                                       : item.m_nMonthDay == kLastOfMonthOrdinal;
  const std::int64_t ordinal =
      type == ByWeekDay ? std::int64_t{item.m_dwWeekOfMonth} + 1 : std::int64_t{item.m_nMonthDay};
  int count = 0;
  int last = 0;
  for (int day = 1; day <= daysInMonth; ++day) {
    const int weekday = (firstWeekday + day - 1) % 7;
    const bool matches = type == ByWeekDay    ? weekday == wanted
                         : type == ByWeekends ? IsWeekend(weekday)
                                                           : !IsWeekend(weekday);
    if (!matches) continue;
    ++count;
    last = day;
    if (!wantLast && count >= ordinal) return day;
  }
  return wantLast ? last : 0;
}

FileTime NextOccurrence(const ScheduleFields& item, FileTime now) {
  switch (item.m_dwKind) {
    case Once:
    case Next24Hours:
      return IsOccurrenceAfter(item.m_ftStart, now) ? item.m_ftStart : TIME_NONE;
    case Weekly:
    case EveryDay:
      return NextWeekly(item, now);
    case Monthly:
      return NextMonthly(item, now);
    case Yearly:
      return NextYearly(item, now);
  }
  return TIME_NONE;
}
