#pragma once
// All enabled items with a future occurrence, earliest first.
#include <cstdint>
#include <vector>

#include "TickwellLib/EngineRecord.h"
#include "platform/clock/Clock.h"

struct CollectedEvents {
  std::vector<EngineRecord> items;  // copies, m_ftNext set, by (m_ftNext, m_nUID)
  std::int32_t nearest = 0;         // leading items that share the earliest time
  platform::FileTime earliest = platform::TIME_NONE;
};

// The occurrence CollectEvents gives one item at `now`, or TIME_NONE: a one-time
// item's start, else its next occurrence; a snooze later than now replaces a past
// occurrence and wins over a later one. Skip marks are not looked at.
platform::FileTime CollectedTime(const ScheduleFields& item, platform::FileTime now);

CollectedEvents CollectEvents(const std::vector<EngineRecord>& list, platform::FileTime now);

// Orders by m_ftNext, then by UID.
void SortByNextTime(std::vector<EngineRecord>& items);
