#include "tests/platform_notify/DaemonHarness.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/notify/LocalInstant.h"
#include "platform/notify/NotificationStore.h"

namespace notifytest {
namespace {

using Clock = std::chrono::steady_clock;

std::vector<pid_t> Children() {
  std::vector<pid_t> pids;
  std::error_code ec;
  for (const auto& task : std::filesystem::directory_iterator("/proc/self/task", ec)) {
    std::ifstream in(task.path() / "children");
    pid_t pid = 0;
    while (in >> pid) pids.push_back(pid);
  }
  return pids;
}

template <typename Pred>
bool WaitUntil(Pred pred, std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  for (;;) {
    if (pred()) return true;
    if (Clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

}  // namespace

DescendantGuard::DescendantGuard() { prctl(PR_SET_CHILD_SUBREAPER, 1); }

DescendantGuard::~DescendantGuard() {
  // Killing a child may orphan its own children onto us: repeat until none is left.
  for (int round = 0; round < 50; ++round) {
    const std::vector<pid_t> children = Children();
    if (children.empty()) break;
    for (const pid_t pid : children) kill(pid, SIGKILL);
    for (const pid_t pid : children) waitpid(pid, nullptr, 0);
  }
  while (waitpid(-1, nullptr, WNOHANG) > 0) {
  }
  prctl(PR_SET_CHILD_SUBREAPER, 0);
}

EnvScope::EnvScope(const char* name, const char* value) : m_name(name) {
  if (const char* old = std::getenv(name)) {
    m_old = old;
    m_had = true;
  }
  if (value) {
    setenv(name, value, 1);
  } else {
    unsetenv(name);
  }
}

EnvScope::~EnvScope() {
  if (m_had) {
    setenv(m_name.c_str(), m_old.c_str(), 1);
  } else {
    unsetenv(m_name.c_str());
  }
}

DaemonHarness::DaemonHarness()
    : m_folder("NATALO_NOTIFY_DIR", Folder().c_str()),
      m_service("NATALO_NOTIFYD", NOTIFYD_PATH),
      m_launchLog("NOTIFY_TEST_LOG", (m_env.Root() / "launches.txt").c_str()) {}

pid_t DaemonHarness::StartDaemon() {
  const std::string log = (m_env.Root() / "daemon.log").string();
  const int startsBefore = m_logStarts++;
  const pid_t pid = fork();
  if (pid < 0) return -1;
  if (pid == 0) {
    const int fd = open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    if (fd >= 0) dup2(fd, STDERR_FILENO);
    execl(NOTIFYD_PATH, NOTIFYD_PATH, static_cast<char*>(nullptr));
    _exit(127);
  }
  // Ready once it logged one more "watching" line, or when it ended (second instance).
  const bool ready = WaitUntil(
      [&] {
        int watching = 0;
        std::istringstream lines(Log());
        for (std::string line; std::getline(lines, line);) watching += line.find(": watching ") != std::string::npos;
        siginfo_t info{};
        return watching > startsBefore ||
               (waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == pid);
      },
      std::chrono::seconds(5));
  if (!ready) m_logStarts--;
  return ready ? pid : -1;
}

int DaemonHarness::WaitExit(pid_t pid, std::chrono::milliseconds timeout) {
  int status = -1;
  const bool ended = WaitUntil([&] { return waitpid(pid, &status, WNOHANG) == pid; }, timeout);
  return ended ? status : -1;
}

void DaemonHarness::Kill(pid_t pid, int sig) {
  kill(pid, sig);
  if (sig == SIGKILL) waitpid(pid, nullptr, 0);
}

std::vector<Launch> DaemonHarness::Launches() const {
  std::vector<Launch> launches;
  std::istringstream lines(testsupport::ReadFileBytes(m_env.Root() / "launches.txt"));
  for (std::string line; std::getline(lines, line);) {
    Launch launch;
    size_t tab = line.find('\t');
    std::istringstream head(line.substr(0, tab));
    size_t count = 0;
    head >> launch.realTimeNs >> count;
    while (tab != std::string::npos) {
      const size_t next = line.find('\t', tab + 1);
      launch.args.push_back(line.substr(tab + 1, next == std::string::npos ? std::string::npos : next - tab - 1));
      tab = next;
    }
    if (launch.args.size() == count) launches.push_back(std::move(launch));
  }
  return launches;
}

std::vector<Launch> DaemonHarness::WaitForLaunches(size_t count, std::chrono::milliseconds timeout) const {
  std::vector<Launch> launches;
  WaitUntil([&] { return (launches = Launches()).size() >= count; }, timeout);
  return launches;
}

std::string DaemonHarness::Log() const { return testsupport::ReadFileBytes(m_env.Root() / "daemon.log"); }

bool DaemonHarness::WaitForLog(const std::string& text, std::chrono::milliseconds timeout) const {
  return WaitUntil([&] { return Log().find(text) != std::string::npos; }, timeout);
}

bool DaemonHarness::WaitForRecords(size_t count, std::chrono::milliseconds timeout) const {
  return WaitUntil(
      [&] {
        std::vector<platform::NotificationHandle> handles;
        return platform::NotificationStore(Folder().string()).Handles(handles) && handles.size() == count;
      },
      timeout);
}

platform::NotificationTrigger DaemonHarness::TimedIn(std::chrono::milliseconds delay, const std::string& args,
                                                     long long* dueNs) const {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  const long long due = now.tv_sec * 1'000'000'000LL + now.tv_nsec + delay.count() * 1'000'000LL;
  // Whole milliseconds: that is what a trigger holds.
  const long long dueMs = due / 1'000'000;
  platform::NotificationTrigger t;
  t.type = platform::NotificationType::Time;
  t.application = RECORD_LAUNCH_PATH;
  t.arguments = args;
  platform::LocalSystemTimeOf(static_cast<time_t>(dueMs / 1000), t.start);
  t.start.wMilliseconds = static_cast<std::uint16_t>(dueMs % 1000);
  if (dueNs) *dueNs = dueMs * 1'000'000;
  return t;
}

platform::NotificationTrigger DaemonHarness::OnClockChange() const {
  platform::NotificationTrigger t;
  t.type = platform::NotificationType::Event;
  t.event = platform::NotificationEvent::TimeChange;
  t.application = RECORD_LAUNCH_PATH;
  return t;
}

}  // namespace notifytest
