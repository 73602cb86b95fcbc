#pragma once
// The times the engine gives one item when it collects the due items.
#include "common/store/ScheduleFields.h"
#include "platform/clock/Clock.h"

// The occurrence an enabled item is collected with at `now`, or TIME_NONE: a
// one-time item's start, else its next occurrence; a snooze later than now
// replaces a past occurrence and wins over a later one. Skip marks and snooze
// counters are not looked at.
platform::FileTime CollectedTime(const ScheduleFields& item, platform::FileTime now);

// The time the active events report for an item collected with `collected`:
// an item marked skip gets the time after the skipped occurrence, a one-time
// item marked skip none at all (TIME_NONE).
platform::FileTime ReportedTime(const ScheduleFields& item, platform::FileTime collected, platform::FileTime now);
