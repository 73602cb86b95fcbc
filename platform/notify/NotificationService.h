#pragma once
// The notification service (natalo-notifyd): watches the folder of notification
// records and starts their programs.
//
// - A time notification starts its program once, at the first moment the local
//   wall clock reaches its start time, with its argument text as one argument,
//   and its record is removed. A record whose moment passed while no service ran
//   fires as soon as the service comes up. A program started late because the
//   service was not running or the machine slept (not because the clock was
//   set) gets NATALO_MISSED_REMINDER=1 in its environment; the argument text
//   stays as armed.
// - A started program gets the session's display variables that the service
//   itself lacks (SessionDisplay.h).
// - A program that cannot be started is tried again kLaunchAttempts times,
//   kLaunchRetrySeconds apart, before its record is given up with a log line.
// - An event notification for a clock change starts its program whenever the
//   system clock is set or the system's time zone changes; its record stays.
// - A corrupt record is reported once on stderr and otherwise left alone.
//
// Signals: SIGTERM and SIGINT end the service cleanly; SIGHUP reads the folder
// again; SIGUSR1 runs exactly what a clock change runs (for tests and for
// tools that change the clock in ways the kernel does not report).
// The service runs until it is ended or its notification folder is removed
// (a deleted user folder, a cleaned-up test folder); it does not end when idle,
// because it must be there to see clock changes.
#include <ctime>
#include <map>
#include <string>

#include "platform/file/UniqueFd.h"
#include "platform/notify/NotificationStore.h"

namespace platform {

class NotificationService {
 public:
  explicit NotificationService(std::string folder);
  NotificationService(const NotificationService&) = delete;
  NotificationService& operator=(const NotificationService&) = delete;

  // Runs the event loop; returns the process exit code.
  int Run();

 private:
  bool Setup();
  bool WatchFolder();
  // Reads the inotify events; false when the notification folder went away.
  bool DrainFolderEvents(bool& zoneChanged);
  // Reads the timer; true when the clock was set.
  bool DrainTimer();
  // Fires every due time record and arms the timer for the next one.
  // `afterClockChange`: records came due because the clock was set.
  void FireDueAndArm(bool afterClockChange = false);
  void OnClockChanged();
  bool Launch(NotificationHandle handle, const NotificationTrigger& trigger, bool late = false);
  void ArmTimer(const timespec& when);
  // Reads a record, reporting it once when it is corrupt.
  bool ReadRecord(NotificationHandle handle, NotificationTrigger& out);
  void ReportOnce(NotificationHandle handle, const std::string& error);

  NotificationStore m_store;
  UniqueFd m_inotify;
  UniqueFd m_timer;
  UniqueFd m_signalRead;
  UniqueFd m_signalWrite;
  int m_folderWatch = -1;
  int m_zoneWatch = -1;
  std::map<NotificationHandle, std::string> m_reported;  // corrupt records already logged
  struct LaunchFailure {
    int count = 0;
    timespec retryAt{};
  };
  std::map<NotificationHandle, LaunchFailure> m_launchFailures;
  bool m_bFirstPass = true;  // records overdue now passed while no service ran
};

inline constexpr int kLaunchAttempts = 3;
inline constexpr time_t kLaunchRetrySeconds = 5;
// A time record fired this much after its moment, without a clock change,
// was missed (the machine slept).
inline constexpr time_t kLateStartSeconds = 60;
inline constexpr char kMissedReminderEnvironment[] = "NATALO_MISSED_REMINDER=1";

// One line on stderr with the local time in front.
void LogServiceMessage(const std::string& message);

}  // namespace platform
