#include "TickwellLib/EventCalculation.h"

#include <algorithm>

#include "TickwellLib/CollectEvents.h"
#include "TickwellLib/EngineState.h"
#include "TickwellLib/EngineStorageLoad.h"
#include "TickwellLib/PluginHook.h"
#include "TickwellLib/ReminderNotification.h"
#include "TickwellLib/TempFileCleanup.h"
#include "common/log/Log.h"

namespace {

bool AnyEnabled(const std::vector<EngineRecord>& list) {
  return std::any_of(list.begin(), list.end(), [](const EngineRecord& r) { return r.fields.m_bEnabled != 0; });
}

// Arms the reminder for the earliest events; false when there is nothing to arm.
bool ArmEarliest(const EngineState& state, std::vector<EngineRecord>&& list, platform::FileTime now) {
  WriteLog("There are %d events in storage", static_cast<int>(list.size()));
  const CollectedEvents events = CollectEvents(list, now);
  list = {};
  WriteLog("Events: %d active, %d nearest", static_cast<int>(events.items.size()), events.nearest);
  if (events.earliest == platform::TIME_NONE) return false;

  const std::string arguments = ReminderArguments(events.earliest, events.items, events.nearest);
  WriteLog("Util arguments: %s", arguments.c_str());
  ArmWithRetries(TimedTrigger(state.utilityPath, events.earliest, arguments), "Warning: can't set event notification");
  ArmWithRetries(TimeChangeTrigger(state.utilityPath), "Warning: can't set timechange notification");
  platform::SystemTime at;
  platform::FileTimeToSystemTime(events.earliest, at);
  WriteLog("%d event(s) found, time: %04d-%02d-%02d %02d:%02d %02d:%02d", events.nearest, at.wYear, at.wMonth,
           at.wDay, at.wHour, at.wMinute, at.wSecond, at.wMilliseconds);
  return true;
}

const char* WhyNotRead(StorageLoad load) {
  return load == StorageLoad::Locked ? "the storage stayed locked" : "the storage could not be read";
}

}  // namespace

void RunCalculation(const EngineState& state, const std::atomic<bool>* stop) {
  const platform::FileTime now = platform::GetLocalFileTime() + 1;
  const bool active = IsStorageActive(state);
  std::vector<EngineRecord> list;
  const StorageLoad load = active ? LoadEngineStorageLocked(state.storagePath, list, kEngineLockTimeoutMs, stop)
                                  : StorageLoad::Missing;
  if (!IsStorageKnown(load)) {
    WriteLog("Keeping the armed notifications: %s", WhyNotRead(load));
    if (stop == nullptr || !stop->load()) NotifyPlugin(state);
    return;
  }
  RemoveOldNotifications(state.utilityPath);
  DeleteTemporaryFiles(state.folder);
  const bool armed = !list.empty() && AnyEnabled(list) && ArmEarliest(state, std::move(list), now);
  if (!armed) WriteLog("There are no active events in the storage, exiting");
  NotifyPlugin(state);
}
