#include "common/entries/ReminderChoice.h"

#include "common/entries/EntryCalendar.h"
#include "common/entries/EntryKind.h"

namespace {
constexpr int kReminderYear = 2001;
}

std::int64_t ReminderDays(platform::FileTime date, platform::FileTime moment) {
  const CalendarDate day = DateOfFileTime(date);
  const CalendarDate placed = PlaceInYear(day.month, day.day, kReminderYear);
  CalendarDate at = DateOfFileTime(moment);
  // Only a moment of the base year itself is moved: one that already lies in
  // the year before would otherwise count more than a year and lose its choice.
  if (placed.month == 1 && at.month == 12 && at.year >= kReminderYear) at.year -= 1;
  return DayNumber(placed) - DayNumber(at);
}

std::uint32_t ReminderChoiceForDays(std::int64_t days) {
  if (days >= 0 && days <= 7) return static_cast<std::uint32_t>(days);
  if (days == 14) return ReminderFourteenDays;
  return ReminderOneMonth;
}
