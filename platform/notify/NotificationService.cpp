#include "platform/notify/NotificationService.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/notify/LocalInstant.h"
#include "platform/notify/NotificationRecord.h"
#include "platform/notify/SessionDisplay.h"
#include "platform/process/Process.h"

namespace platform {
namespace {

// Wake at least this often, so that a zone change that went unnoticed is
// corrected within this time.
constexpr time_t kMaxSleepSeconds = 3600;
constexpr const char* kZoneFolder = "/etc";

// Signal handlers only write the signal number into a pipe; the loop reads it.
volatile sig_atomic_t g_signalFd = -1;

void OnSignal(int sig) {
  const int saved = errno;
  const unsigned char byte = static_cast<unsigned char>(sig);
  if (g_signalFd >= 0) (void)!write(g_signalFd, &byte, 1);
  errno = saved;
}

bool Before(const timespec& a, const timespec& b) {
  return a.tv_sec < b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec < b.tv_nsec);
}

timespec RealNow() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return now;
}

std::string HandleText(NotificationHandle handle) {
  char text[16];
  std::snprintf(text, sizeof text, "%08x", handle);
  return text;
}

}  // namespace

void LogServiceMessage(const std::string& message) {
  const time_t now = time(nullptr);
  tm local{};
  localtime_r(&now, &local);
  char stamp[32];
  strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
  std::fprintf(stderr, "natalo-notifyd %s: %s\n", stamp, message.c_str());
  std::fflush(stderr);
}

NotificationService::NotificationService(std::string folder) : m_store(std::move(folder)) {}

bool NotificationService::Setup() {
  int pipefd[2];
  if (pipe2(pipefd, O_CLOEXEC | O_NONBLOCK) != 0) return false;
  m_signalRead.Reset(pipefd[0]);
  m_signalWrite.Reset(pipefd[1]);
  g_signalFd = m_signalWrite.Get();
  struct sigaction sa {};
  sa.sa_handler = OnSignal;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESTART;
  for (const int sig : {SIGTERM, SIGINT, SIGHUP, SIGUSR1}) sigaction(sig, &sa, nullptr);

  m_inotify.Reset(inotify_init1(IN_NONBLOCK | IN_CLOEXEC));
  m_timer.Reset(timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC));
  if (!m_inotify.IsOpen() || !m_timer.IsOpen()) return false;
  if (!WatchFolder()) return false;
  m_zoneWatch = inotify_add_watch(m_inotify.Get(), kZoneFolder,
                                  IN_CREATE | IN_MOVED_TO | IN_CLOSE_WRITE | IN_DELETE | IN_ATTRIB);
  if (m_zoneWatch < 0) LogServiceMessage("cannot watch the time zone setting; checking hourly instead");
  return true;
}

bool NotificationService::WatchFolder() {
  std::error_code ec;
  std::filesystem::create_directories(m_store.Folder(), ec);
  chmod(m_store.Folder().c_str(), 0700);
  m_folderWatch = inotify_add_watch(m_inotify.Get(), m_store.Folder().c_str(),
                                    IN_ONLYDIR | IN_CLOSE_WRITE | IN_MOVED_TO | IN_MOVED_FROM | IN_DELETE |
                                        IN_DELETE_SELF | IN_MOVE_SELF);
  if (m_folderWatch < 0) {
    LogServiceMessage("cannot watch " + m_store.Folder() + ": " + std::strerror(errno));
    return false;
  }
  return true;
}

int NotificationService::Run() {
  if (!Setup()) {
    LogServiceMessage(std::string("cannot start: ") + std::strerror(errno));
    return 1;
  }
  LogServiceMessage("watching " + m_store.Folder());
  FireDueAndArm();
  for (;;) {
    pollfd fds[3] = {{m_signalRead.Get(), POLLIN, 0}, {m_inotify.Get(), POLLIN, 0}, {m_timer.Get(), POLLIN, 0}};
    if (poll(fds, 3, -1) < 0) {
      if (errno == EINTR) continue;
      LogServiceMessage(std::string("poll failed: ") + std::strerror(errno));
      return 1;
    }
    bool clockChanged = false;
    if (fds[0].revents & POLLIN) {
      unsigned char sigs[64];
      const ssize_t n = read(m_signalRead.Get(), sigs, sizeof sigs);
      for (ssize_t i = 0; i < n; ++i) {
        if (sigs[i] == SIGTERM || sigs[i] == SIGINT) {
          LogServiceMessage("ending");
          return 0;
        }
        if (sigs[i] == SIGUSR1) {
          LogServiceMessage("clock change signalled");
          clockChanged = true;
        }
      }
    }
    if (fds[1].revents & POLLIN) {
      bool zoneChanged = false;
      if (!DrainFolderEvents(zoneChanged)) {
        LogServiceMessage("the notification folder was removed; ending");
        return 0;
      }
      if (zoneChanged) {
        ReloadTimeZone();
        LogServiceMessage("time zone changed");
        clockChanged = true;
      }
    }
    if ((fds[2].revents & POLLIN) && DrainTimer()) {
      LogServiceMessage("system clock changed");
      clockChanged = true;
    }
    if (clockChanged) OnClockChanged();
    FireDueAndArm(clockChanged);
  }
}

bool NotificationService::DrainFolderEvents(bool& zoneChanged) {
  alignas(inotify_event) char buf[8192];
  for (;;) {
    const ssize_t n = read(m_inotify.Get(), buf, sizeof buf);
    if (n <= 0) return true;
    for (ssize_t off = 0; off < n;) {
      inotify_event event;
      std::memcpy(&event, buf + off, sizeof event);
      const char* name = event.len ? buf + off + sizeof event : "";
      off += static_cast<ssize_t>(sizeof event + event.len);
      if (event.wd == m_folderWatch && (event.mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED))) return false;
      if (event.wd == m_zoneWatch && (std::strcmp(name, "localtime") == 0 || std::strcmp(name, "timezone") == 0)) {
        zoneChanged = true;
      }
    }
  }
}

bool NotificationService::DrainTimer() {
  std::uint64_t expirations = 0;
  const ssize_t n = read(m_timer.Get(), &expirations, sizeof expirations);
  return n < 0 && errno == ECANCELED;
}

bool NotificationService::ReadRecord(NotificationHandle handle, NotificationTrigger& out) {
  std::string error;
  if (m_store.Read(handle, out, &error)) {
    m_reported.erase(handle);
    return true;
  }
  // Cleared between listing and reading: nothing to report.
  struct stat st {};
  if (lstat(m_store.PathOf(handle).c_str(), &st) != 0 && errno == ENOENT) return false;
  ReportOnce(handle, error);
  return false;
}

void NotificationService::ReportOnce(NotificationHandle handle, const std::string& error) {
  const auto it = m_reported.find(handle);
  if (it == m_reported.end() || it->second != error) {
    LogServiceMessage("skipping record " + m_store.PathOf(handle) + ": " + error);
    m_reported[handle] = error;
  }
}

bool NotificationService::Launch(NotificationHandle handle, const NotificationTrigger& trigger, bool late) {
  std::vector<std::string> args;
  if (!trigger.arguments.empty()) args.push_back(trigger.arguments);
  // A service started before the session named its display passes it on now.
  std::vector<std::string> environment = SessionDisplayEnvironment();
  if (late) environment.push_back(kMissedReminderEnvironment);
  const pid_t pid = StartProcess(trigger.application, args, environment);
  if (pid > 0) {
    LogServiceMessage("notification " + HandleText(handle) + " started " + trigger.application + " (pid " +
                      std::to_string(pid) + ")" + (late ? " late" : ""));
    return true;
  }
  LogServiceMessage("notification " + HandleText(handle) + " could not start " + trigger.application);
  return false;
}

void NotificationService::OnClockChanged() {
  std::vector<NotificationHandle> handles;
  m_store.Handles(handles);
  NotificationTrigger trigger;
  for (const NotificationHandle handle : handles) {
    if (ReadRecord(handle, trigger) && trigger.type == NotificationType::Event &&
        trigger.event == NotificationEvent::TimeChange) {
      Launch(handle, trigger);
    }
  }
}

void NotificationService::FireDueAndArm(bool afterClockChange) {
  std::vector<NotificationHandle> handles;
  m_store.Handles(handles);
  const auto gone = [&](const auto& entry) { return !std::binary_search(handles.begin(), handles.end(), entry.first); };
  std::erase_if(m_reported, gone);
  std::erase_if(m_launchFailures, gone);

  struct Due {
    timespec when;
    NotificationHandle handle;
    NotificationTrigger trigger;
  };
  std::vector<Due> timed;
  for (const NotificationHandle handle : handles) {
    NotificationTrigger trigger;
    if (!ReadRecord(handle, trigger) || trigger.type != NotificationType::Time) continue;
    FileTime start = 0;
    timespec when{};
    if (!TriggerTimeToFileTime(trigger.start, start) || !LocalFileTimeToInstant(start, when)) {
      ReportOnce(handle, "its time does not exist in this time zone");
      continue;
    }
    timed.push_back({when, handle, std::move(trigger)});
  }
  std::sort(timed.begin(), timed.end(), [](const Due& a, const Due& b) {
    return Before(a.when, b.when) || (!Before(b.when, a.when) && a.handle < b.handle);
  });

  const timespec now = RealNow();
  timespec next{now.tv_sec + kMaxSleepSeconds, now.tv_nsec};
  for (const Due& due : timed) {
    if (Before(now, due.when)) {
      if (Before(due.when, next)) next = due.when;
      break;
    }
    const auto failure = m_launchFailures.find(due.handle);
    if (failure != m_launchFailures.end() && Before(now, failure->second.retryAt)) {
      if (Before(failure->second.retryAt, next)) next = failure->second.retryAt;
      continue;
    }
    const bool late = !afterClockChange && (m_bFirstPass || now.tv_sec - due.when.tv_sec > kLateStartSeconds);
    // A time notification fires once: start first, then forget it, so that a
    // crash in between repeats the start rather than losing it.
    if (!Launch(due.handle, due.trigger, late)) {
      LaunchFailure& f = m_launchFailures[due.handle];
      if (++f.count < kLaunchAttempts) {
        f.retryAt = timespec{now.tv_sec + kLaunchRetrySeconds, now.tv_nsec};
        if (Before(f.retryAt, next)) next = f.retryAt;
        continue;
      }
      LogServiceMessage("notification " + HandleText(due.handle) + " given up after " +
                        std::to_string(kLaunchAttempts) + " failed starts");
    }
    m_launchFailures.erase(due.handle);
    m_store.Remove(due.handle);
  }
  m_bFirstPass = false;
  ArmTimer(next);
}

void NotificationService::ArmTimer(const timespec& when) {
  itimerspec spec{};
  spec.it_value = when;
  if (timerfd_settime(m_timer.Get(), TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &spec, nullptr) != 0) {
    LogServiceMessage(std::string("cannot arm the timer: ") + std::strerror(errno));
  }
}

}  // namespace platform
