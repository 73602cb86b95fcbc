#pragma once
// User notifications: start a program at a local wall-clock moment, or when the
// system clock is changed. Records are kept by the notification service daemon
// (natalo-notifyd), which the client starts when none runs; they survive a restart
// of the daemon and of the machine.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/clock/Clock.h"

namespace platform {

enum class NotificationType : std::uint32_t {
  Time = 1,   // start the application at `start`
  Event = 2,  // start the application when `event` happens
};

enum class NotificationEvent : std::uint32_t {
  None = 0,
  TimeChange = 1,  // the system clock was set
};

struct NotificationTrigger {
  NotificationType type = NotificationType::Time;
  NotificationEvent event = NotificationEvent::None;
  std::string application;  // full path of the program to start
  std::string arguments;    // passed to the program as ONE argument, exactly as given; empty: no argument
  SystemTime start{};       // local time (Time notifications)
  SystemTime end{};
};

using NotificationHandle = std::uint32_t;  // 0 is never a valid handle

// Arms a notification; returns its handle, or 0 on failure (bad trigger, store not
// writable). Then makes sure the daemon runs; when it cannot be started the
// notification stays armed and fires once the daemon runs (it starts at login).
// Safe to call from any thread.
NotificationHandle SetUserNotification(const NotificationTrigger& trigger);
// Handles of all armed notifications, of every program, in ascending order;
// unreadable (corrupt) records are left out. False when the folder cannot be read.
bool GetUserNotificationHandles(std::vector<NotificationHandle>& out);
// Reads one notification: its trigger with the application path. False when it
// does not exist (any more) or cannot be read; `out` is then unchanged.
bool GetUserNotification(NotificationHandle handle, NotificationTrigger& out);
// Removes one notification; false when there was none with this handle.
bool ClearUserNotification(NotificationHandle handle);

// Folder of the notification records, ending with '/': $NATALO_NOTIFY_DIR, else
// $XDG_DATA_HOME/Natalo/notifications (default ~/.local/share/...). Empty when
// neither those nor HOME are set.
std::string GetNotificationFolder();

// Starts the daemon when none runs for this user; true when one runs afterwards.
// Where the user's systemd manager runs it is asked to start the unit
// natalo-notifyd.service (ServiceStart.h); otherwise, or when it refuses, the
// daemon is started here. The daemon is the program natalo-notifyd beside the module that holds this
// function (the program, or the engine library), or $NATALO_NOTIFYD when set.
// Waits up to three seconds for a started daemon to come up.
bool EnsureNotificationServiceRunning();

}  // namespace platform
