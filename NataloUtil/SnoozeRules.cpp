#include "NataloUtil/SnoozeRules.h"

#include "common/entries/FeskItem.h"
#include "common/store/AddSeconds.h"

std::uint32_t SnoozeSecondsOfCommand(int command) {
  if (command < kCmdSnoozeFirst || command > kCmdSnoozeLast) return 0;
  return kSnoozeTable[static_cast<std::size_t>(command - kCmdSnoozeFirst)];
}

platform::FileTime NowPlusSeconds(std::int64_t seconds) {
  platform::SystemTime time = platform::GetLocalTime();
  if (AddSeconds(time, seconds) != 0) return 0;
  platform::FileTime out = 0;
  return platform::SystemTimeToFileTime(time, out) ? out : 0;
}

int DaysToEvent(const FeskItem& item, const CalendarDate& today) {
  const CalendarDate date = DateOfFileTime(item.m_ftDate);
  const CalendarDate next = NextOccurrence(date, today);
  return static_cast<int>(DayNumber(next) - DayNumber(today));
}

int DaysToEvent(const FeskItem& item) { return DaysToEvent(item, Today()); }

bool IsSnoozeAvailable(int command, int daysToEvent) {
  switch (command) {
    case kCmdSnoozeFirst + 5:
      return daysToEvent >= 1;
    case kCmdSnoozeFirst + 6:
      return daysToEvent >= 2;
    case kCmdSnoozeFirst + 7:
      return daysToEvent >= 7;
    default:
      return true;
  }
}
