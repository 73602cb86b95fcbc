#include "common/entries/EntryReminder.h"

#include <algorithm>

#include "common/entries/EntryCalendar.h"
#include "common/entries/EntryKind.h"
#include "common/entries/FeskItem.h"

namespace {

// 2001 is a common year, so 29 February has to move to the 28th.
constexpr int kReminderYear = 2001;

}  // namespace

void ApplyReminder(FeskItem& entry, std::uint32_t code, std::uint16_t time) {
  const CalendarDate date = DateOfFileTime(entry.m_ftDate);
  CalendarDate day = PlaceInYear(date.month, date.day, kReminderYear);
  std::uint64_t daysBack = 0;
  if (code >= 1 && code <= 7) daysBack = code;
  if (code == ReminderFourteenDays) daysBack = 14;
  if (code == ReminderOneMonth) {
    // The month before, in the same year: January turns into December 2001.
    day.month = day.month == 1 ? 12 : day.month - 1;
    day.day = std::min(day.day, DaysInMonth(day.month, 1));
  }
  platform::FileTime start = 0;
  if (!MidnightOf(day, start)) return;
  start -= daysBack * platform::FILETIME_PER_DAY;
  // Hours and minutes past the end of a day count as the day's last minute.
  const std::uint64_t hour = std::min(time >> 8, 23);
  const std::uint64_t minute = std::min(time & 0xFF, 59);
  entry.m_ftStart = start + hour * platform::FILETIME_PER_HOUR + minute * platform::FILETIME_PER_MINUTE;
}

void ApplyDefaultReminder(FeskItem& entry, const EntryReminderDefaults& defaults) {
  ApplyReminder(entry, defaults.dwDate, defaults.wTime);
}
