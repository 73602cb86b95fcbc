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

const char* const kEnvNames[] = {"NATALO_NOTIFY_DIR", "NATALO_NOTIFYD", "NOTIFY_TEST_LOG"};

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

DaemonHarness::DaemonHarness() {
  const std::string values[] = {Folder().string(), NOTIFYD_PATH, (m_env.Root() / "launches.txt").string()};
  for (size_t i = 0; i < 3; ++i) {
    const char* old = std::getenv(kEnvNames[i]);
    m_savedEnv.emplace_back(old ? old : "", old ? "1" : "");
    setenv(kEnvNames[i], values[i].c_str(), 1);
  }
}

DaemonHarness::~DaemonHarness() {
  for (size_t i = 0; i < 3; ++i) {
    if (m_savedEnv[i].second.empty()) {
      unsetenv(kEnvNames[i]);
    } else {
      setenv(kEnvNames[i], m_savedEnv[i].first.c_str(), 1);
    }
  }
}

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
  const time_t seconds = static_cast<time_t>(dueMs / 1000);
  tm local{};
  localtime_r(&seconds, &local);
  platform::NotificationTrigger t;
  t.type = platform::NotificationType::Time;
  t.application = RECORD_LAUNCH_PATH;
  t.arguments = args;
  t.start.wYear = static_cast<std::uint16_t>(local.tm_year + 1900);
  t.start.wMonth = static_cast<std::uint16_t>(local.tm_mon + 1);
  t.start.wDay = static_cast<std::uint16_t>(local.tm_mday);
  t.start.wHour = static_cast<std::uint16_t>(local.tm_hour);
  t.start.wMinute = static_cast<std::uint16_t>(local.tm_min);
  t.start.wSecond = static_cast<std::uint16_t>(local.tm_sec);
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
