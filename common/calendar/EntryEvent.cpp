#include "common/calendar/EntryEvent.h"

#include <cstdio>

#include "common/entries/ReminderChoice.h"
#include "common/entries/TextFormat.h"
#include "platform/text/Utf.h"

std::string EventUid(const FeskItem& entry, const std::string& storageId) {
  if (!entry.IsStar()) return "entry-" + std::to_string(entry.m_nUID) + "-" + storageId + "@natalo";
  std::uint64_t hash = 14695981039346656037ull;
  for (char16_t c : entry.m_szFirstName + u"\n" + entry.m_szLastName) hash = (hash ^ c) * 1099511628211ull;
  hash = (hash ^ entry.m_ftDate) * 1099511628211ull;
  char text[24];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
  return std::string("star-") + text + "-" + storageId + "@natalo";
}

void FillEvent(const FeskItem& entry, const std::string& storageId, const std::u16string& yearFormat,
               const CalendarDate& today, IcsEvent& event) {
  event.uid = EventUid(entry, storageId);
  const CalendarDate stored = DateOfFileTime(entry.m_ftDate);
  const std::u16string name = entry.GetDisplayName();
  if (IsYearUnknown(stored)) {
    // The year kept for "no year" is no year the date ever fell in: the
    // event starts in this year (on 28 February for a 29 February in a common
    // year), which stays the same on every export until the year turns, and
    // its title names no year to count an age from.
    event.date = PlaceInYear(stored.month, stored.day, today.year);
    event.lastDayOfFebruary = stored.month == 2 && stored.day == 29;
    event.summary = platform::ToUtf8(name);
  } else {
    event.date = stored;
    event.lastDayOfFebruary = false;
    // A yearly event has one summary for every year, so it names the year the
    // age counts from rather than one year's age.
    if (entry.m_wKind == Birthday || entry.m_wKind == Anniversary) {
      event.summary = platform::ToUtf8(FormatText(yearFormat, {name, platform::FromUtf8(std::to_string(stored.year))}));
    } else {
      event.summary = platform::ToUtf8(name);
    }
  }
  event.description = platform::ToUtf8(entry.m_szNote);
  event.alarm = false;
  event.alarmMinutes = 0;
  if (entry.m_bEnabled && !entry.IsStar()) {
    // The minute of the day the reminder comes at; none for a start beyond the calendar.
    const std::int64_t minuteOfDay =
        entry.m_ftStart > platform::TIME_NONE
            ? 0
            : static_cast<std::int64_t>(entry.m_ftStart % platform::FILETIME_PER_DAY / platform::FILETIME_PER_MINUTE);
    event.alarm = true;
    event.alarmMinutes = -ReminderDays(entry.m_ftDate, entry.m_ftStart) * 1440 + minuteOfDay;
  }
}
