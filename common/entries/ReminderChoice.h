#pragma once
// The reminder choice of an entry with its own reminder, recovered from the
// stored moment: how many whole days the moment lies before the entry's date.
#include <cstdint>

#include "platform/clock/Clock.h"

// Whole days from the reminder moment to the entry's date, both taken at
// midnight, the date placed in the reminder base year 2001. A January date
// whose moment was kept in December of the base year (a month before) counts
// from December of the year before. A moment already in the year before the
// base year (a January date reminded a few days before) counts as it lies.
std::int64_t ReminderDays(platform::FileTime date, platform::FileTime moment);

// The reminder choice (ReminderOffset) for a day count: 0 to 7 give the same
// number, 14 gives 8, any other count 9.
std::uint32_t ReminderChoiceForDays(std::int64_t days);
