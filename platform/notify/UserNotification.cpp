#include "platform/notify/UserNotification.h"

#include <chrono>
#include <cstdlib>
#include <thread>

#include "platform/folder/DataFolder.h"
#include "platform/folder/ProgramFolder.h"
#include "platform/notify/NotificationStore.h"
#include "platform/notify/ServiceLock.h"
#include "platform/notify/ServiceStart.h"
#include "platform/process/Process.h"

namespace platform {
namespace {

constexpr auto kServiceStartWait = std::chrono::seconds(3);
constexpr auto kServicePoll = std::chrono::milliseconds(10);

std::string EnvFolder(const char* name) {
  const char* value = std::getenv(name);
  if (!value || *value == '\0') return {};
  std::string folder = value;
  if (folder.back() != '/') folder += '/';
  return folder;
}

// The folder of the module holding this code, looked up once when the module
// loads. Looking it up later would need the loader's lock, which a thread
// unloading the engine library holds while it waits for the engine's worker,
// the very thread that arms notifications.
const std::string& OwnModuleFolder() {
  static const std::string folder =
      GetModuleFolder(reinterpret_cast<const void*>(&EnsureNotificationServiceRunning));
  return folder;
}
[[maybe_unused]] const std::string& g_ownModuleFolderAtLoad = OwnModuleFolder();

bool ServiceProgramOverridden() {
  const char* path = std::getenv("NATALO_NOTIFYD");
  return path && *path;
}

std::string ServiceProgramPath() {
  if (ServiceProgramOverridden()) return std::getenv("NATALO_NOTIFYD");
  const std::string& folder = OwnModuleFolder();
  return folder.empty() ? std::string() : folder + "natalo-notifyd";
}

}  // namespace

std::string GetNotificationFolder() {
  if (std::string folder = EnvFolder("NATALO_NOTIFY_DIR"); !folder.empty()) return folder;
  const std::string data = UserDataHome();
  return data.empty() ? std::string() : data + "Natalo/notifications/";
}

NotificationHandle SetUserNotification(const NotificationTrigger& trigger) {
  const std::string folder = GetNotificationFolder();
  if (folder.empty()) return 0;
  NotificationStore store(folder);
  const NotificationHandle handle = store.Add(trigger);
  // The service sees the new record through its folder watch; it only has to run.
  // When it cannot be started now, the record waits for the next start (at login).
  if (handle != 0) EnsureNotificationServiceRunning();
  return handle;
}

bool GetUserNotificationHandles(std::vector<NotificationHandle>& out) {
  out.clear();
  const std::string folder = GetNotificationFolder();
  if (folder.empty()) return false;
  NotificationStore store(folder);
  std::vector<NotificationHandle> all;
  if (!store.Handles(all)) return false;
  // Corrupt records are left out: nobody can read or act on them.
  NotificationTrigger trigger;
  for (const NotificationHandle handle : all) {
    if (store.Read(handle, trigger)) out.push_back(handle);
  }
  return true;
}

bool GetUserNotification(NotificationHandle handle, NotificationTrigger& out) {
  const std::string folder = GetNotificationFolder();
  return !folder.empty() && NotificationStore(folder).Read(handle, out);
}

bool ClearUserNotification(NotificationHandle handle) {
  const std::string folder = GetNotificationFolder();
  return !folder.empty() && NotificationStore(folder).Remove(handle);
}

bool EnsureNotificationServiceRunning() {
  if (ServiceLock::IsTaken()) return true;
  if (StartServiceThroughUserManager(UserManagerRuns(), ServiceProgramOverridden(), RunWithManagerTimeout) ==
      ServiceStartWay::Spawn) {
    const std::string program = ServiceProgramPath();
    if (program.empty() || StartProcess(program, {}) <= 0) return false;
  }
  const auto deadline = std::chrono::steady_clock::now() + kServiceStartWait;
  while (std::chrono::steady_clock::now() < deadline) {
    if (ServiceLock::IsTaken()) return true;
    std::this_thread::sleep_for(kServicePoll);
  }
  return ServiceLock::IsTaken();
}

}  // namespace platform
