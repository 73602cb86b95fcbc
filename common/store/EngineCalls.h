#pragma once
// The two engine entry points that the store's users call: the engine library
// is loaded at run time by the application, which binds them here at start-up.
// Unbound, they do nothing (RequestCalculation) or compare start times.
#include <cstdint>

#include "common/store/ScheduleFields.h"

class StorageItem;

// The engine's CalculateEvents and GetNextEventTime, as the library exports them.
using CalculateEventsFunction = std::int32_t (*)();
using NextEventTimeFunction = std::uint64_t (*)(const ScheduleFields* item);

// Binds the engine's functions; nullptr unbinds. Call from the UI thread, before
// and after (unbinding) the library is loaded.
void BindEngineCalls(CalculateEventsFunction calculateEvents, NextEventTimeFunction nextEventTime);

// Asks the engine to arm the reminders again; nothing when it is not bound.
void RequestCalculation();

// -1, 0 or 1: `a`'s next occurrence before, at or after `b`'s, as the engine
// computes it. Without the engine, the starts are compared instead.
int CompareByNextTime(const StorageItem& a, const StorageItem& b);
