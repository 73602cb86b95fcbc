#include "TickwellLib/NextEventTime.h"

#include <algorithm>

#include "TickwellLib/NextOccurrence.h"
#include "TickwellLib/KindRules.h"

using platform::FileTime;
using platform::TIME_NONE;

FileTime NextEventTime(const ScheduleFields& item, FileTime now) {
  ScheduleFields copy = item;
  const FileTime origNow = now;
  const bool origSkip = item.m_wSkipNext != 0;
  const bool snoozed = item.m_dwSnoozeCounter != 0;
  FileTime best = TIME_NONE;
  // Each pass clears the skip mark, so the loop runs at most three times.
  for (;;) {
    if (copy.m_wSkipNext != 0 && copy.m_ftSnooze > now) {
      // The pending snooze is the occurrence being skipped.
      copy.m_ftSnooze = 0;
      copy.m_wSkipNext = 0;
      now += kOneMicrosecond;
      continue;
    }
    if (IsOneTimeKind(copy.m_dwKind)) {
      best = copy.m_ftStart > now || !snoozed ? copy.m_ftStart : TIME_NONE;
    } else {
      best = NextOccurrence(copy, now);
    }
    if (copy.m_wSkipNext == 0 || snoozed) break;
    copy.m_wSkipNext = 0;
    now = best >= TIME_NONE ? TIME_NONE : best + kOneMicrosecond;
    best = TIME_NONE;
  }
  if (snoozed && !origSkip && item.m_ftSnooze > origNow && item.m_ftSnooze < best) best = item.m_ftSnooze;
  if (best == TIME_NONE) best = std::max(item.m_ftStart, item.m_ftSnooze);
  return best;
}
