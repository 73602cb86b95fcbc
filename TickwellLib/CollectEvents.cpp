#include "TickwellLib/CollectEvents.h"

#include <algorithm>

#include "TickwellLib/NextOccurrence.h"
#include "TickwellLib/KindRules.h"

using platform::FileTime;
using platform::TIME_NONE;

FileTime CollectedTime(const ScheduleFields& item, FileTime now) {
  FileTime candidate = IsOneTimeKind(item.m_dwKind) ? item.m_ftStart : NextOccurrence(item, now);
  if (item.m_ftSnooze > now) candidate = candidate <= now ? item.m_ftSnooze : std::min(candidate, item.m_ftSnooze);
  return candidate > now && candidate < TIME_NONE ? candidate : TIME_NONE;
}

void SortByNextTime(std::vector<EngineRecord>& items) {
  std::sort(items.begin(), items.end(), [](const EngineRecord& a, const EngineRecord& b) {
    if (a.fields.m_ftNext != b.fields.m_ftNext) return a.fields.m_ftNext < b.fields.m_ftNext;
    return a.fields.m_nUID < b.fields.m_nUID;
  });
}

CollectedEvents CollectEvents(const std::vector<EngineRecord>& list, FileTime now) {
  CollectedEvents result;
  for (const auto& record : list) {
    if (record.fields.m_bEnabled == 0) continue;
    const FileTime next = CollectedTime(record.fields, now);
    if (next == TIME_NONE) continue;
    result.items.push_back(record);
    result.items.back().fields.m_ftNext = next;
  }
  SortByNextTime(result.items);
  if (!result.items.empty()) {
    result.earliest = result.items.front().fields.m_ftNext;
    for (const auto& r : result.items) {
      if (r.fields.m_ftNext != result.earliest) break;
      ++result.nearest;
    }
  }
  return result;
}
