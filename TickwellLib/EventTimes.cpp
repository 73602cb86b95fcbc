#include "TickwellLib/EventTimes.h"

#include <algorithm>

#include "TickwellLib/KindRules.h"
#include "TickwellLib/NextEventTime.h"
#include "TickwellLib/NextOccurrence.h"

using platform::FileTime;
using platform::TIME_NONE;

FileTime CollectedTime(const ScheduleFields& item, FileTime now) {
  FileTime candidate = IsOneTimeKind(item.m_dwKind) ? item.m_ftStart : NextOccurrence(item, now);
  if (item.m_ftSnooze > now) candidate = candidate <= now ? item.m_ftSnooze : std::min(candidate, item.m_ftSnooze);
  return candidate > now && candidate < TIME_NONE ? candidate : TIME_NONE;
}

FileTime ReportedTime(const ScheduleFields& item, FileTime collected, FileTime now) {
  if (item.m_wSkipNext == 0) return collected;
  return IsOneTimeKind(item.m_dwKind) ? TIME_NONE : NextEventTime(item, now);
}
