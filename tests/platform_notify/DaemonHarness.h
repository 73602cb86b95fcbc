#pragma once
// Runs the notification service in a test: a private notification folder, a
// recorder program that the service starts, and a guard that ends and reaps
// every process the test started, whatever its outcome.
#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/notify/UserNotification.h"
#include "tests/support/TempDir.h"

namespace notifytest {

// Sets (or, given nullptr, removes) an environment variable for its lifetime.
class EnvScope {
 public:
  EnvScope(const char* name, const char* value);
  ~EnvScope();
  EnvScope(const EnvScope&) = delete;
  EnvScope& operator=(const EnvScope&) = delete;

 private:
  std::string m_name, m_old;
  bool m_had = false;
};

// Makes this process the reaper of its orphaned descendants (the detached
// service and the programs it starts); on destruction kills every remaining
// child and reaps them all.
class DescendantGuard {
 public:
  DescendantGuard();
  ~DescendantGuard();
  DescendantGuard(const DescendantGuard&) = delete;
  DescendantGuard& operator=(const DescendantGuard&) = delete;
};

// One start of the recorder program.
struct Launch {
  long long realTimeNs = 0;
  std::vector<std::string> args;
};

class DaemonHarness {
 public:
  DaemonHarness();

  // Starts natalo-notifyd as a child with stderr in the log; returns its pid
  // once it watches its folder (or once it ended), -1 when it did not come up.
  pid_t StartDaemon();
  // Waits for a child to end; its exit status, or -1 on timeout.
  int WaitExit(pid_t pid, std::chrono::milliseconds timeout);
  void Kill(pid_t pid, int sig);

  std::vector<Launch> Launches() const;
  // Waits until at least `count` launches were recorded.
  std::vector<Launch> WaitForLaunches(size_t count, std::chrono::milliseconds timeout) const;
  std::string Log() const;
  bool WaitForLog(const std::string& text, std::chrono::milliseconds timeout) const;
  // Waits until the folder holds exactly `count` records.
  bool WaitForRecords(size_t count, std::chrono::milliseconds timeout) const;

  std::filesystem::path Folder() const { return m_env.Root() / "notify"; }
  platform::NotificationTrigger TimedIn(std::chrono::milliseconds delay, const std::string& args,
                                        long long* dueNs = nullptr) const;
  platform::NotificationTrigger OnClockChange() const;

 private:
  testsupport::TestEnvironment m_env;
  DescendantGuard m_guard;
  EnvScope m_folder, m_service, m_launchLog;
  int m_logStarts = 0;
};

}  // namespace notifytest
