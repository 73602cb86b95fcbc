#pragma once
// Turning a local wall-clock FileTime into the real instant at which the clock
// on the wall shows it, in the current time zone.
#include <ctime>

#include "platform/clock/Clock.h"

namespace platform {

// The first instant at which local time reaches `local`:
// - a time that occurs twice (the hour repeated when summer time ends) gives the
//   first of the two;
// - a time that never occurs (the hour skipped when summer time starts) gives
//   the moment of the skip, when the clock jumps past it.
// False for a FileTime outside the calendar range.
bool LocalFileTimeToInstant(FileTime local, timespec& out);

// The local wall-clock calendar time of a real instant, in the current zone.
// A leap second is folded into the last second of its minute.
bool LocalSystemTimeOf(time_t instant, SystemTime& out);

// Makes the C library read the system's time zone again (after /etc/localtime
// changed); the library caches it otherwise when TZ is unset.
void ReloadTimeZone();

}  // namespace platform
