#include "TickwellLib/ActiveEvents.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "TickwellLib/EngineState.h"
#include "TickwellLib/EngineStorageLoad.h"
#include "TickwellLib/NextEventTime.h"
#include "TickwellLib/KindRules.h"
#include "common/log/Log.h"

void ApplySkipMarks(CollectedEvents& events, platform::FileTime now) {
  for (auto& r : events.items) {
    if (r.fields.m_wSkipNext == 0) continue;
    // A skipped one-time reminder has no next occurrence.
    r.fields.m_ftNext = IsOneTimeKind(r.fields.m_dwKind) ? platform::TIME_NONE : NextEventTime(r.fields, now);
  }
  SortByNextTime(events.items);
}

bool CollectActiveEvents(const EngineState& state, platform::FileTime now, CollectedEvents& out) {
  std::vector<EngineRecord> list;
  LoadEngineStorageLocked(state.storagePath, list);
  if (list.empty()) {
    WriteLog("No events, storage %s", state.storagePath.c_str());
    return false;
  }
  if (!IsStorageActive(state)) {
    WriteLog("Storage isn't active: %s %d", state.storagePath.c_str(), 0);
    return false;
  }
  if (std::none_of(list.begin(), list.end(), [](const EngineRecord& r) { return r.fields.m_bEnabled != 0; })) {
    WriteLog("No active events found");
    return false;
  }
  out = CollectEvents(list, now);
  ApplySkipMarks(out, now);
  return !out.items.empty();
}

EngineItem** ToEngineItemArray(const std::vector<EngineRecord>& items) {
  if (items.empty()) return nullptr;
  auto** array = static_cast<EngineItem**>(std::calloc(items.size(), sizeof(EngineItem*)));
  if (array == nullptr) return nullptr;
  for (std::size_t i = 0; i < items.size(); ++i) {
    auto* item = static_cast<EngineItem*>(std::calloc(1, sizeof(EngineItem)));
    if (item == nullptr) {
      FreeEngineItemArray(static_cast<std::int32_t>(i), array);
      return nullptr;
    }
    array[i] = item;
    item->fields = items[i].fields;
    if (!items[i].ext.empty()) {
      item->m_pExtData = static_cast<std::uint8_t*>(std::malloc(items[i].ext.size()));
      if (item->m_pExtData == nullptr) {
        FreeEngineItemArray(static_cast<std::int32_t>(i + 1), array);
        return nullptr;
      }
      std::memcpy(item->m_pExtData, items[i].ext.data(), items[i].ext.size());
      item->m_wExtLength = static_cast<std::uint16_t>(items[i].ext.size());
    }
  }
  return array;
}

void FreeEngineItemArray(std::int32_t count, EngineItem** array) {
  if (array == nullptr) return;
  for (std::int32_t i = 0; i < count; ++i) {
    if (array[i] == nullptr) continue;
    std::free(array[i]->m_pExtData);
    std::free(array[i]);
  }
  std::free(array);
}
