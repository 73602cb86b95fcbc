#pragma once
// The lock that makes the notification service run once per user: an open file
// description lock on "natalo-notifyd.lock" in the user's runtime folder. The
// kernel drops it when the holder ends, crash included. Clients only test it,
// which never takes the lock, so a client looking never makes a starting
// service believe another one runs.
#include <sys/types.h>

#include <string>

#include "platform/file/UniqueFd.h"

namespace platform {

// The service's own view of the runtime folder: $XDG_RUNTIME_DIR, else a private
// folder under /tmp named after the user id; ends with '/'. (The named objects
// have GetRuntimeFolder, without the slash.)
std::string GetServiceRuntimeFolder();
std::string GetNotificationServiceLockPath();

class ServiceLock {
 public:
  // Takes the lock without waiting and writes the caller's pid into the file.
  // False when another process holds it or the file cannot be made.
  bool TryAcquire();
  bool IsHeld() const { return m_fd.IsOpen(); }

  // Whether some process holds the lock; its pid (as it wrote it) in `holder`.
  static bool IsTaken(pid_t* holder = nullptr);

 private:
  UniqueFd m_fd;
};

}  // namespace platform
