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
  // Sorting small keys and copying each item once afterwards is much cheaper
  // than moving whole items with their extension blocks around.
  struct Due {
    FileTime next;
    std::int32_t uid;
    std::size_t index;
  };
  std::vector<Due> due;
  for (std::size_t i = 0; i < list.size(); ++i) {
    const ScheduleFields& f = list[i].fields;
    if (f.m_bEnabled == 0) continue;
    const FileTime next = CollectedTime(f, now);
    if (next != TIME_NONE) due.push_back({next, f.m_nUID, i});
  }
  std::sort(due.begin(), due.end(), [](const Due& a, const Due& b) {
    return a.next != b.next ? a.next < b.next : a.uid < b.uid;
  });
  CollectedEvents result;
  result.items.reserve(due.size());
  for (const Due& d : due) {
    result.items.push_back(list[d.index]);
    result.items.back().fields.m_ftNext = d.next;
  }
  if (!due.empty()) {
    result.earliest = due.front().next;
    for (const Due& d : due) {
      if (d.next != result.earliest) break;
      ++result.nearest;
    }
  }
  return result;
}
