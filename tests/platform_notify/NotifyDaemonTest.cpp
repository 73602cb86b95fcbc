#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>

#include <thread>

#include "platform/notify/NotificationService.h"
#include "platform/notify/NotificationStore.h"
#include "platform/notify/ServiceLock.h"
#include "platform/notify/UserNotification.h"
#include "tests/platform_notify/DaemonHarness.h"

using namespace platform;
using namespace std::chrono_literals;
using notifytest::DaemonHarness;

namespace {

constexpr long long kToleranceNs = 500'000'000;
const std::string kArmed = "/T=\"133603398000000000\" /ID=\"3,7\"";

long long RealNowNs() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return now.tv_sec * 1'000'000'000LL + now.tv_nsec;
}

}  // namespace

TEST(NotifyDaemon, StartsTheProgramOnceAtItsMomentWithTheExactArgument) {
  DaemonHarness h;
  ASSERT_GT(h.StartDaemon(), 0);
  long long due = 0;
  const NotificationHandle handle = SetUserNotification(h.TimedIn(2s, kArmed, &due));
  ASSERT_NE(handle, 0u);

  const auto launches = h.WaitForLaunches(1, 5s);
  ASSERT_EQ(launches.size(), 1u) << h.Log();
  EXPECT_NEAR(static_cast<double>(launches[0].realTimeNs), static_cast<double>(due), kToleranceNs);
  EXPECT_EQ(launches[0].args, std::vector<std::string>{kArmed});
  // Fired once: the record is gone and nothing starts again.
  EXPECT_TRUE(h.WaitForRecords(0, 2s));
  std::this_thread::sleep_for(500ms);
  EXPECT_EQ(h.Launches().size(), 1u);
}

TEST(NotifyDaemon, ClearedNotificationNeverFires) {
  DaemonHarness h;
  ASSERT_GT(h.StartDaemon(), 0);
  const NotificationHandle handle = SetUserNotification(h.TimedIn(1500ms, "gone"));
  ASSERT_NE(handle, 0u);
  std::this_thread::sleep_for(200ms);
  ASSERT_TRUE(ClearUserNotification(handle));
  std::this_thread::sleep_for(2500ms);
  EXPECT_TRUE(h.Launches().empty());
}

TEST(NotifyDaemon, PendingNotificationsSurviveAKilledService) {
  DaemonHarness h;
  const pid_t first = h.StartDaemon();
  ASSERT_GT(first, 0);
  long long dueA = 0, dueB = 0;
  ASSERT_NE(SetUserNotification(h.TimedIn(2s, "A", &dueA)), 0u);
  h.Kill(first, SIGKILL);
  ASSERT_FALSE(ServiceLock::IsTaken());

  // Arming while no service runs starts a new one (found through NATALO_NOTIFYD).
  ASSERT_NE(SetUserNotification(h.TimedIn(2500ms, "B", &dueB)), 0u);
  pid_t second = 0;
  ASSERT_TRUE(ServiceLock::IsTaken(&second));
  EXPECT_NE(second, first);

  const auto launches = h.WaitForLaunches(2, 6s);
  ASSERT_EQ(launches.size(), 2u);
  EXPECT_EQ(launches[0].args, std::vector<std::string>{"A"});
  EXPECT_EQ(launches[1].args, std::vector<std::string>{"B"});
  EXPECT_NEAR(static_cast<double>(launches[0].realTimeNs), static_cast<double>(dueA), kToleranceNs);
  EXPECT_NEAR(static_cast<double>(launches[1].realTimeNs), static_cast<double>(dueB), kToleranceNs);
}

TEST(NotifyDaemon, MissedRecordsFireAtStartUpAndCorruptOnesAreReported) {
  DaemonHarness h;
  NotificationStore store(h.Folder().string());
  const NotificationHandle missed = store.Add(h.TimedIn(-90s, "missed"));
  const NotificationHandle later = store.Add(h.TimedIn(1h, "later"));
  ASSERT_NE(missed, 0u);
  ASSERT_NE(later, 0u);
  const auto corrupt = h.Folder() / "0badf00d.ntf";
  ASSERT_TRUE(testsupport::WriteFileBytes(corrupt, "version=1\nkind=time\nstart=soon\n"));

  const long long started = RealNowNs();
  ASSERT_GT(h.StartDaemon(), 0);
  const auto launches = h.WaitForLaunches(1, 3s);
  ASSERT_EQ(launches.size(), 1u);
  EXPECT_EQ(launches[0].args, std::vector<std::string>{"missed"});
  EXPECT_LT(launches[0].realTimeNs - started, 2'000'000'000LL);
  EXPECT_TRUE(h.WaitForRecords(2, 2s));  // the corrupt one and the one due later stay
  NotificationTrigger t;
  EXPECT_TRUE(store.Read(later, t));
  EXPECT_NE(h.Log().find("0badf00d.ntf"), std::string::npos) << h.Log();

  // Still running after the corrupt record; a new record is served.
  ASSERT_NE(store.Add(h.TimedIn(300ms, "next")), 0u);
  EXPECT_EQ(h.WaitForLaunches(2, 3s).size(), 2u);
  // Only the record whose moment passed while no service ran was started late.
  const std::string log = h.Log();
  EXPECT_NE(log.find(NotificationStore::FileNameOf(missed).substr(0, 8) + " started"), std::string::npos) << log;
  const auto lateLine = log.find(") late");
  EXPECT_NE(lateLine, std::string::npos) << log;
  EXPECT_EQ(log.find(") late", lateLine + 1), std::string::npos) << log;
}

TEST(NotifyDaemon, ProgramThatFailsToStartIsRetriedThenGivenUp) {
  DaemonHarness h;
  ASSERT_GT(h.StartDaemon(), 0);
  NotificationTrigger broken = h.TimedIn(200ms, "x");
  broken.application = (h.Folder() / "not-there-yet").string();
  ASSERT_NE(SetUserNotification(broken), 0u);
  // The record stays between the attempts and goes after the last one.
  ASSERT_TRUE(h.WaitForLog("could not start", 3s)) << h.Log();
  EXPECT_TRUE(h.WaitForRecords(1, 1s));
  ASSERT_TRUE(h.WaitForLog("given up", 3s + kLaunchRetrySeconds * kLaunchAttempts * 1s)) << h.Log();
  EXPECT_TRUE(h.WaitForRecords(0, 2s));
  const std::string log = h.Log();
  std::size_t failures = 0;
  for (auto at = log.find("could not start"); at != std::string::npos; at = log.find("could not start", at + 1)) ++failures;
  EXPECT_EQ(failures, static_cast<std::size_t>(kLaunchAttempts)) << log;
}

TEST(NotifyDaemon, OneServicePerUserAndCleanExit) {
  DaemonHarness h;
  const pid_t first = h.StartDaemon();
  ASSERT_GT(first, 0);
  const pid_t second = h.StartDaemon();
  ASSERT_GT(second, 0);
  const int status = h.WaitExit(second, 2s);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  pid_t holder = 0;
  EXPECT_TRUE(ServiceLock::IsTaken(&holder));
  EXPECT_EQ(holder, first);
  EXPECT_TRUE(EnsureNotificationServiceRunning());

  kill(first, SIGTERM);
  const int ended = h.WaitExit(first, 3s);
  ASSERT_TRUE(WIFEXITED(ended));
  EXPECT_EQ(WEXITSTATUS(ended), 0);
  EXPECT_FALSE(ServiceLock::IsTaken());
}

TEST(NotifyDaemon, ClockChangeStartsEventProgramsOnly) {
  DaemonHarness h;
  const pid_t daemon = h.StartDaemon();
  ASSERT_GT(daemon, 0);
  ASSERT_NE(SetUserNotification(h.OnClockChange()), 0u);
  ASSERT_NE(SetUserNotification(h.TimedIn(1h, "later")), 0u);
  std::this_thread::sleep_for(300ms);
  EXPECT_TRUE(h.Launches().empty());

  // SIGUSR1 runs the same path as a clock change reported by the timer.
  kill(daemon, SIGUSR1);
  auto launches = h.WaitForLaunches(1, 3s);
  ASSERT_EQ(launches.size(), 1u);
  EXPECT_TRUE(launches[0].args.empty());
  // The event notification stays armed and fires again at the next change.
  kill(daemon, SIGUSR1);
  EXPECT_EQ(h.WaitForLaunches(2, 3s).size(), 2u);
  EXPECT_TRUE(h.WaitForRecords(2, 1s));
}

TEST(NotifyDaemon, EndsWhenItsFolderIsRemoved) {
  DaemonHarness h;
  const pid_t daemon = h.StartDaemon();
  ASSERT_GT(daemon, 0);
  std::filesystem::remove_all(h.Folder());
  const int status = h.WaitExit(daemon, 3s);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}
