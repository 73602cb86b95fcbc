#pragma once
// Natalo.so copied into a test's own program folder and loaded from there, with
// helpers to wait for what its worker thread does.
#include <filesystem>
#include <string>
#include <vector>

#include "TickwellLib/Tickwell.h"
#include "platform/notify/UserNotification.h"
#include "platform/process/Process.h"
#include "tests/engine/WaitUntil.h"
#include "tests/support/TempDir.h"

namespace enginetest {

class LoadedEngine {
 public:
  // Copies the library into the environment's program folder; Load() opens it.
  explicit LoadedEngine(const testsupport::TestEnvironment& env)
      : m_path(env.ProgramFolder() + "Natalo.so") {
    std::filesystem::copy_file(NATALO_ENGINE_PATH, m_path, std::filesystem::copy_options::overwrite_existing);
  }
  bool Load() {
    if (!m_library.Open(m_path)) return false;
    GetNextEventTime = m_library.Function<GetNextEventTimeFn>("GetNextEventTime", TICKWELL_VERSION_NODE);
    GetActiveEvents = m_library.Function<GetActiveEventsFn>("GetActiveEvents", TICKWELL_VERSION_NODE);
    ReleaseActiveEvents =
        m_library.Function<ReleaseActiveEventsFn>("ReleaseActiveEvents", TICKWELL_VERSION_NODE);
    CalculateEvents = m_library.Function<CalculateEventsFn>("CalculateEvents", TICKWELL_VERSION_NODE);
    return GetNextEventTime && GetActiveEvents && ReleaseActiveEvents && CalculateEvents;
  }
  void Unload() { m_library.Close(); }
  const std::string& Path() const { return m_path; }

  GetNextEventTimeFn GetNextEventTime = nullptr;
  GetActiveEventsFn GetActiveEvents = nullptr;
  ReleaseActiveEventsFn ReleaseActiveEvents = nullptr;
  CalculateEventsFn CalculateEvents = nullptr;

 private:
  std::string m_path;
  platform::SharedLibrary m_library;
};

struct ArmedNotification {
  platform::NotificationHandle handle = 0;
  platform::NotificationTrigger trigger;
};

inline std::vector<ArmedNotification> ArmedNotifications() {
  std::vector<ArmedNotification> out;
  std::vector<platform::NotificationHandle> handles;
  platform::GetUserNotificationHandles(handles);
  for (auto h : handles) {
    ArmedNotification n;
    n.handle = h;
    if (platform::GetUserNotification(h, n.trigger)) out.push_back(n);
  }
  return out;
}

}  // namespace enginetest
