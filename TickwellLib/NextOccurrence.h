#pragma once
// The first occurrence of an item's recurrence after a given moment.
#include "common/store/ScheduleFields.h"
#include "platform/clock/Clock.h"

// First occurrence later than `now`, or TIME_NONE. Pure: reads neither the clock
// nor the item's skip and snooze state.
platform::FileTime NextOccurrence(const ScheduleFields& item, platform::FileTime now);

// The day of the month chosen by a Monthly item's day rule in the given month;
// 0 when the rule picks no day there. The result may exceed the month's length
// (ByDay 31 in April); the caller rejects such dates.
int MonthlyDay(const ScheduleFields& item, int year, int month, int dayOfNow);

// False for a Monthly rule that no masked month can ever satisfy (the 24th
// working day of some other ordinal than "last", the 11th weekend day, the 31st
// of a mask of shorter months); such an item has no occurrence at all.
bool MonthlyRuleCanMatch(const ScheduleFields& item);
