#include "TickwellLib/EventCalculation.h"

#include "TickwellLib/EngineEvents.h"
#include "TickwellLib/EngineState.h"
#include "TickwellLib/PluginHook.h"
#include "TickwellLib/ReminderNotification.h"
#include "TickwellLib/TempFileCleanup.h"
#include "common/log/Log.h"

namespace {

// Arms the reminder for the earliest events; false when there is nothing to arm.
bool ArmEarliest(const EngineState& state, const DueEvents& due) {
  WriteLog("There are %d events in storage", due.total);
  WriteLog("Events: %d active, %d nearest", due.active, static_cast<int>(due.nearestUids.size()));
  if (due.earliest == platform::TIME_NONE) return false;

  const std::string arguments = ReminderArguments(due.earliest, due.nearestUids);
  WriteLog("Util arguments: %s", arguments.c_str());
  ArmWithRetries(TimedTrigger(state.utilityPath, due.earliest, arguments), "Warning: can't set event notification");
  ArmWithRetries(TimeChangeTrigger(state.utilityPath), "Warning: can't set timechange notification");
  platform::SystemTime at;
  platform::FileTimeToSystemTime(due.earliest, at);
  WriteLog("%d event(s) found, time: %04d-%02d-%02d %02d:%02d %02d:%02d", static_cast<int>(due.nearestUids.size()),
           at.wYear, at.wMonth, at.wDay, at.wHour, at.wMinute, at.wSecond, at.wMilliseconds);
  return true;
}

const char* WhyNotRead(StorageLoad load) {
  return load == StorageLoad::Locked ? "the storage stayed locked" : "the storage could not be read";
}

}  // namespace

void RunCalculation(const EngineState& state, const std::atomic<bool>* stop) {
  const platform::FileTime now = platform::GetLocalFileTime() + 1;
  if (state.storagePath.empty()) {
    WriteLog("Keeping the armed notifications: no data folder");
    return;
  }
  const bool active = IsStorageActive(state);
  DueEvents due;
  if (active) due = LoadDueEvents(state.storagePath, now, kEngineLockTimeoutMs, stop);
  if (!IsStorageKnown(due.load)) {
    WriteLog("Keeping the armed notifications: %s", WhyNotRead(due.load));
    if (stop == nullptr || !stop->load()) NotifyPlugin(state);
    return;
  }
  RemoveOldNotifications(state.utilityPath);
  DeleteTemporaryFiles(state.dataFolder);
  const bool armed = active && due.enabled > 0 && ArmEarliest(state, due);
  if (!armed) WriteLog("There are no active events in the storage, exiting");
  NotifyPlugin(state);
}
