#pragma once
// The enabled items with a future occurrence, as a plug-in reads them.
#include <cstdint>

#include "TickwellLib/CollectEvents.h"
#include "common/store/ScheduleFields.h"

struct EngineState;

// Loads the storage and collects its events at `now`. An item marked skip gets
// the time after the skipped occurrence (none for a one-time item) and the array
// is sorted again; `nearest` stays as counted before that. False, with a log line
// saying why, when nothing is to be returned.
bool CollectActiveEvents(const EngineState& state, platform::FileTime now, CollectedEvents& out);

// The same after loading: applies the skip marks to collected events.
void ApplySkipMarks(CollectedEvents& events, platform::FileTime now);

// C copies of the items: an array of `items.size()` items, each with its own
// extension block, allocated with malloc. Null when empty or out of memory.
EngineItem** ToEngineItemArray(const std::vector<EngineRecord>& items);
void FreeEngineItemArray(std::int32_t count, EngineItem** array);
