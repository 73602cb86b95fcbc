// natalo-notifyd: the user's notification service. Runs once per user; a second
// instance ends at once with success.
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "platform/notify/NotificationService.h"
#include "platform/notify/ServiceLock.h"
#include "platform/notify/UserNotification.h"

int main(int argc, char** argv) {
  if (argc > 1) {
    const bool help = std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0;
    std::fprintf(help ? stdout : stderr,
                 "Usage: natalo-notifyd\n"
                 "Starts programs at the times armed in the notification folder\n"
                 "($NATALO_NOTIFY_DIR, else $XDG_DATA_HOME/Natalo/notifications) and when\n"
                 "the system clock changes. SIGTERM ends it; SIGUSR1 acts as a clock change.\n");
    return help ? 0 : 2;
  }
  platform::ServiceLock lock;
  if (!lock.TryAcquire()) {
    if (platform::ServiceLock::IsTaken()) return 0;
    platform::LogServiceMessage("cannot take the lock " + platform::GetNotificationServiceLockPath());
    return 1;
  }
  const std::string folder = platform::GetNotificationFolder();
  if (folder.empty()) {
    platform::LogServiceMessage("no notification folder: set HOME or NATALO_NOTIFY_DIR");
    return 1;
  }
  // Do not keep the starting folder busy.
  if (chdir("/") != 0) platform::LogServiceMessage("cannot change to /");
  platform::NotificationService service(folder);
  return service.Run();
}
