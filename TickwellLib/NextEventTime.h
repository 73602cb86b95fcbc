#pragma once
// The next moment an item asks for attention, with its skip and snooze state.
#include "common/store/ScheduleFields.h"
#include "platform/clock/Clock.h"

// The time the engine's GetNextEventTime reports for `item` at local time `now`.
// A skipped occurrence is passed over (a pending snooze counts as the occurrence
// being skipped); a snooze earlier than the next occurrence wins unless the item
// is marked skip; an unsnoozed one-time item reports its start even when past;
// an item without any future occurrence reports the later of its start and
// snooze times. m_bEnabled is not looked at. Never fails.
platform::FileTime NextEventTime(const ScheduleFields& item, platform::FileTime now);
