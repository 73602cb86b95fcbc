#include "TickwellLib/ReminderNotification.h"

#include <chrono>
#include <thread>

#include "common/log/Log.h"

using platform::NotificationHandle;
using platform::NotificationTrigger;

std::string ReminderArguments(platform::FileTime earliest, const std::vector<std::int32_t>& uids) {
  std::string text;
  for (const std::int32_t uid : uids) {
    if (!text.empty()) text += ',';
    text += std::to_string(uid);
  }
  return "/T=\"" + std::to_string(earliest) + "\" /ID=\"" + text + "\"";
}

NotificationTrigger TimedTrigger(const std::string& utilityPath, platform::FileTime at, const std::string& arguments) {
  NotificationTrigger t;
  t.type = platform::NotificationType::Time;
  t.event = platform::NotificationEvent::None;
  t.application = utilityPath;
  t.arguments = arguments;
  platform::FileTimeToSystemTime(at, t.start);
  return t;
}

NotificationTrigger TimeChangeTrigger(const std::string& utilityPath) {
  NotificationTrigger t;
  t.type = platform::NotificationType::Event;
  t.event = platform::NotificationEvent::TimeChange;
  t.application = utilityPath;
  return t;
}

void RemoveOldNotifications(const std::string& utilityPath) {
  if (utilityPath.empty()) return;
  std::vector<NotificationHandle> handles;
  platform::GetUserNotificationHandles(handles);
  WriteLog("Checking %d notifications", static_cast<int>(handles.size()));
  for (const NotificationHandle handle : handles) {
    NotificationTrigger trigger;
    if (platform::GetUserNotification(handle, trigger) && trigger.application == utilityPath)
      platform::ClearUserNotification(handle);
  }
}

bool ArmWithRetries(const NotificationTrigger& trigger, const char* warning) {
  constexpr int kAttempts = 10;
  for (int attempt = 1; attempt <= kAttempts; ++attempt) {
    if (platform::SetUserNotification(trigger) != 0) return true;
    WriteLog("SafeCeSetUserNotificationEx: retrying %d..", attempt);
    if (attempt < kAttempts) std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  WriteLog("%s", warning);
  return false;
}
