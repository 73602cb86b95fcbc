// The real programs together: the engine arms, the notification service starts
// the utility at the moment, its window appears (offscreen), the user's choice
// is written into storage.dat, and the engine arms again.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <thread>

#include "NataloUtil/SnoozeRules.h"
#include "common/settings/AppSettings.h"
#include "platform/notify/NotificationStore.h"
#include "platform/notify/UserNotification.h"
#include "tests/util/UtilProgramFolder.h"
#include "tests/util/UtilTestSupport.h"

using namespace utiltest;
using namespace std::chrono_literals;
using platform::FILETIME_PER_SECOND;
using platform::FileTime;

namespace {

// Anna (UID 1) with a snooze pending at `snooze`, Ben (UID 2).
void SaveDue(const std::string& folder, FileTime snooze) {
  std::vector<std::unique_ptr<FeskItem>> entries;
  const CalendarDate today = Today();
  auto anna = Entry(Birthday, "Anna Berg", {1985, today.month, std::min(today.day, 28)});
  anna->m_ftSnooze = snooze;
  anna->m_dwSnoozeCounter = snooze ? 1 : 0;
  anna->SetNote(u"Likes orchids");
  entries.push_back(std::move(anna));
  entries.push_back(Entry(Anniversary, "Ben wedding", {2010, today.month, std::min(today.day, 28)}));
  ASSERT_TRUE(SaveEntries(folder, std::move(entries)));
}

// The armed time notification of the utility, if any.
bool ArmedReminder(const std::string& utility, platform::NotificationTrigger& out) {
  std::vector<platform::NotificationHandle> handles;
  platform::GetUserNotificationHandles(handles);
  for (const auto handle : handles) {
    if (platform::GetUserNotification(handle, out) && out.application == utility &&
        out.type == platform::NotificationType::Time)
      return true;
  }
  return false;
}

// Waits until the utility's armed time notification carries `moment`.
bool WaitArmedAt(const std::string& utility, FileTime moment, platform::NotificationTrigger& armed) {
  for (int i = 0; i < 200; ++i) {
    if (ArmedReminder(utility, armed) && armed.arguments.find(std::to_string(moment)) != std::string::npos) return true;
    std::this_thread::sleep_for(50ms);
  }
  return false;
}

FileTime Seconds(std::int64_t s) { return static_cast<FileTime>(s) * FILETIME_PER_SECOND; }

// A headless weston on a socket of the test's runtime folder, ended with the test.
class HeadlessWeston {
 public:
  static constexpr char kSocket[] = "wayland-natalo-test";
  HeadlessWeston() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    m_socket = std::string(runtime) + "/" + kSocket;
    m_pid = fork();
    if (m_pid == 0) {
      const int log = open((std::string(runtime) + "/weston.log").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      dup2(log, 1);
      dup2(log, 2);
      execlp("weston", "weston", "--backend=headless-backend.so", "--no-config", "--idle-time=0",
             (std::string("--socket=") + kSocket).c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    for (int i = 0; i < 200 && !std::filesystem::exists(m_socket); ++i) std::this_thread::sleep_for(50ms);
  }
  ~HeadlessWeston() {
    if (m_pid <= 0) return;
    kill(m_pid, SIGTERM);
    int status = 0;
    for (int i = 0; i < 100 && waitpid(m_pid, &status, WNOHANG) == 0; ++i) std::this_thread::sleep_for(50ms);
    kill(m_pid, SIGKILL);
    waitpid(m_pid, &status, 0);
  }
  bool Up() const { return std::filesystem::exists(m_socket); }

 private:
  pid_t m_pid = -1;
  std::string m_socket;
};

bool WestonInstalled() {
  for (const char* folder : {"/usr/bin/", "/usr/local/bin/"}) {
    if (access((std::string(folder) + "weston").c_str(), X_OK) == 0) return true;
  }
  return false;
}

// Runs a program natively on the compositor with Wayland's protocol log on;
// its exit code (-1 on time-out) and that log.
int RunOnWayland(const std::vector<std::string>& argv, const std::vector<std::string>& environment,
                 std::string& protocol) {
  const std::string log = std::string(std::getenv("XDG_RUNTIME_DIR")) + "/client.log";
  const pid_t pid = fork();
  if (pid == 0) {
    setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
    setenv("QT_QPA_PLATFORM", "wayland", 1);
    setenv("WAYLAND_DISPLAY", HeadlessWeston::kSocket, 1);
    setenv("WAYLAND_DEBUG", "client", 1);
    for (const std::string& entry : environment) putenv(const_cast<char*>(entry.c_str()));
    const int fd = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(fd, 2);
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
  }
  int status = 0;
  bool ended = false;
  for (int i = 0; i < 600 && !ended; ++i) {
    ended = waitpid(pid, &status, WNOHANG) == pid;
    if (!ended) std::this_thread::sleep_for(50ms);
  }
  if (!ended) {
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
  }
  protocol = testsupport::ReadFileBytes(log);
  return ended && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// python3-dbusmock's notification server on a session bus of its own
// (dbus-run-session), logging every call it gets and every signal it sends.
class MockNotificationServer {
 public:
  MockNotificationServer(const std::filesystem::path& folder, const std::string& capabilities)
      : m_address(folder / "bus-address"), m_pid(folder / "server-pid"), m_log(folder / "server-log") {
    const std::string script = "echo \"$DBUS_SESSION_BUS_ADDRESS\" > '" + m_address.string() + ".new' && mv '" +
                               m_address.string() + ".new' '" + m_address.string() + "' && echo $$ > '" +
                               m_pid.string() +
                               "' && exec /usr/bin/python3 -m dbusmock --template notification_daemon "
                               "-p '{\"capabilities\": \"" + capabilities + "\"}' -l '" + m_log.string() + "'";
    if (fork() == 0) {
      execlp("dbus-run-session", "dbus-run-session", "--", "sh", "-c", script.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    for (int i = 0; i < 200 && Address().empty(); ++i) std::this_thread::sleep_for(50ms);
    m_ready = !Address().empty() && Gdbus("wait --session --timeout 20 org.freedesktop.Notifications");
  }
  bool Ready() const { return m_ready; }
  std::string Address() const {
    std::string text = testsupport::ReadFileBytes(m_address);
    while (!text.empty() && text.back() == '\n') text.pop_back();
    return text;
  }
  std::string Log() const { return testsupport::ReadFileBytes(m_log); }
  // Sends a signal of the server, e.g. ("ActionInvoked", "us", "<uint32 1>, <'snooze'>").
  bool Emit(const std::string& name, const std::string& signature, const std::string& arguments) const {
    return Call("org.freedesktop.DBus.Mock.EmitSignal org.freedesktop.Notifications " + name + " " + signature +
                " \"[" + arguments + "]\"");
  }
  // Makes Notify answer with the Python `code` instead.
  bool ReplaceNotify(const std::string& code) const {
    return Call("org.freedesktop.DBus.Mock.AddMethod org.freedesktop.Notifications Notify susssasa{sv}i u \"" + code +
                "\"");
  }
  // Ends the server; the bus stays.
  void Stop() const { kill(std::stoi(testsupport::ReadFileBytes(m_pid)), SIGTERM); }

 private:
  bool Call(const std::string& methodAndArguments) const {
    return Gdbus("call --session --dest org.freedesktop.Notifications --object-path /org/freedesktop/Notifications "
                 "--method " + methodAndArguments);
  }
  bool Gdbus(const std::string& command) const {
    return std::system(("DBUS_SESSION_BUS_ADDRESS='" + Address() + "' gdbus " + command + " >/dev/null").c_str()) == 0;
  }

  std::filesystem::path m_address, m_pid, m_log;
  bool m_ready = false;
};

// Runs the command line of the program folder; its exit code.
int RunCommandLine(const UtilProgramFolder& p, const std::string& arguments) {
  const int status = std::system((p.Folder() + "NataloCli " + arguments + " >/dev/null 2>&1").c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The id of the utility's notification from its "notified <uid> <id>" trace line.
std::string NotifiedId(const std::string& line) { return line.substr(line.rfind(' ') + 1); }

}  // namespace

// Both programs run natively on a Wayland compositor, under their own
// application ids: the application paints its list, the utility shows one
// reminder and is dismissed.
TEST(WholeChain, ApplicationAndReminderRunOnWayland) {
  if (!WestonInstalled()) GTEST_SKIP() << "weston is not installed";
  UtilProgramFolder p;
  SaveDue(p.Folder(), 0);
  std::filesystem::copy_file(std::filesystem::path(NATALO_BUILT_PROGRAM_DIR) / "Natalo", p.Folder() + "Natalo");
  HeadlessWeston weston;
  ASSERT_TRUE(weston.Up());
  std::string protocol;
  EXPECT_EQ(RunOnWayland({p.Folder() + "Natalo", "--exit-after-first-paint"}, {}, protocol), 0);
  EXPECT_NE(protocol.find("set_app_id(\"natalo\")"), std::string::npos) << protocol.substr(0, 2000);

  const std::string dismiss = "NATALO_UTIL_COMMANDS=" + std::to_string(kCmdDismiss);
  EXPECT_EQ(RunOnWayland({p.Folder() + "NataloUtil", Armed(platform::GetLocalFileTime(), "1")}, {dismiss}, protocol),
            0);
  EXPECT_FALSE(p.WaitForTrace("shown 1 ", 1s).empty());
  EXPECT_FALSE(p.WaitForTrace("done", 1s).empty());
  EXPECT_NE(protocol.find("set_app_id(\"natalo-reminder\")"), std::string::npos) << protocol.substr(0, 2000);
}

TEST(WholeChain, DueReminderIsShownSnoozedAndArmedAgain) {
  UtilProgramFolder p;
  // The service passes its environment on to the utility it starts.
  notifytest::EnvScope commands("NATALO_UTIL_COMMANDS", std::to_string(kCmdSnoozeFirst + 1).c_str());
  ASSERT_GT(p.Harness().StartDaemon(), 0);
  const FileTime due = platform::GetLocalFileTime() + Seconds(3);
  SaveDue(p.Folder(), due);

  // A start without arguments only recalculates: the engine arms the reminder.
  ASSERT_EQ(p.Wait(p.Start(""), 20s), 0);
  platform::NotificationTrigger armed;
  ASSERT_TRUE(ArmedReminder(p.Folder() + "NataloUtil", armed));
  EXPECT_NE(armed.arguments.find("/ID=\"1\""), std::string::npos) << armed.arguments;

  const std::string shown = p.WaitForTrace("shown 1 ", 20s);
  ASSERT_FALSE(shown.empty()) << p.Harness().Log();
  const FileTime paintedAt = std::stoull(shown.substr(8));
  EXPECT_GE(paintedAt + Seconds(1), due);
  ASSERT_FALSE(p.WaitForTrace("done", 20s).empty());

  // Snoozed by five minutes from the choice: counters as a manual snooze leaves them.
  const auto anna = StoredEntry(p.Folder(), 1);
  EXPECT_NEAR(static_cast<double>(anna->m_ftSnooze), static_cast<double>(paintedAt + Seconds(300)), 5e7);
  EXPECT_EQ(anna->m_dwSnoozeCounter, 2u);
  EXPECT_EQ(anna->m_dwAutoSnoozeCounter, 0u);
  EXPECT_EQ(StoredEntry(p.Folder(), 2)->m_ftSnooze, 0u);

  // The engine armed the snooze moment.
  EXPECT_TRUE(WaitArmedAt(p.Folder() + "NataloUtil", anna->m_ftSnooze, armed)) << armed.arguments;
}

TEST(WholeChain, AReminderDueWhileAnotherIsOnScreenIsPutBackAndArmedAgain) {
  UtilProgramFolder p;
  ASSERT_GT(p.Harness().StartDaemon(), 0);
  const FileTime now = platform::GetLocalFileTime();
  const FileTime annaDue = now + Seconds(4);
  SaveDue(p.Folder(), annaDue);
  // Ben's window stays open past Anna's moment; nothing was armed before it.
  const pid_t ben = p.Start(Armed(now, "2"), {"NATALO_UTIL_COMMANDS=" + std::to_string(kCmdDismiss),
                                              "NATALO_UTIL_COMMAND_DELAY_MS=8000"});
  ASSERT_FALSE(p.WaitForTrace("shown 2", 10s).empty()) << p.Harness().Log();

  // The service starts Anna's utility at her moment; it finds the queue taken.
  ASSERT_FALSE(p.WaitForTrace("nothing to show", 15s).empty()) << p.Harness().Log();
  const auto anna = StoredEntry(p.Folder(), 1);
  EXPECT_GE(anna->m_ftSnooze, annaDue + Seconds(119));
  EXPECT_EQ(p.Wait(ben, 20s), 0);
  platform::NotificationTrigger armed;
  EXPECT_TRUE(WaitArmedAt(p.Folder() + "NataloUtil", anna->m_ftSnooze, armed)) << armed.arguments;
}

TEST(WholeChain, EarlyOldAndMissedStarts) {
  UtilProgramFolder p;
  SaveDue(p.Folder(), 0);
  const std::vector<std::string> dismiss = {"NATALO_UTIL_COMMANDS=" + std::to_string(kCmdDismiss)};
  const FileTime now = platform::GetLocalFileTime();

  // 45 seconds early: shown at once.
  pid_t util = p.Start(Armed(now + Seconds(45), "1"), dismiss);
  EXPECT_FALSE(p.WaitForTrace("shown 1", 10s).empty());
  EXPECT_EQ(p.Wait(util, 20s), 0);

  // 61 seconds old after a clock change: not shown, not changed.
  util = p.Start(Armed(now - Seconds(61), "2"), dismiss);
  EXPECT_EQ(p.Wait(util, 20s), 0);
  EXPECT_FALSE(p.WaitForTrace("too old", 1s).empty());

  // Started late by the notification service: shown, marked missed.
  util = p.Start(Armed(now - Seconds(3600), "2"), {"NATALO_MISSED_REMINDER=1", dismiss[0]});
  EXPECT_NE(p.WaitForTrace("shown 2", 10s).find("missed"), std::string::npos);
  EXPECT_EQ(p.Wait(util, 20s), 0);

  // 10 seconds early: waits for its moment.
  const FileTime soon = platform::GetLocalFileTime() + Seconds(3);
  util = p.Start(Armed(soon, "1"), dismiss);
  std::string second;
  for (int i = 0; i < 300 && second.empty(); ++i) {
    int count = 0;
    for (const auto& line : p.Trace()) {
      if (line.rfind("shown 1 ", 0) == 0 && ++count == 2) second = line;
    }
    std::this_thread::sleep_for(50ms);
  }
  ASSERT_FALSE(second.empty());
  EXPECT_GE(std::stoull(second.substr(8)), soon);
  EXPECT_EQ(p.Wait(util, 20s), 0);
}

TEST(WholeChain, ASecondUtilityPutsItsReminderBack) {
  UtilProgramFolder p;
  SaveDue(p.Folder(), 0);
  const FileTime now = platform::GetLocalFileTime();
  const pid_t first = p.Start(Armed(now, "1"), {"NATALO_UTIL_COMMANDS=" + std::to_string(kCmdDismiss),
                                                "NATALO_UTIL_COMMAND_DELAY_MS=4000"});
  ASSERT_FALSE(p.WaitForTrace("shown 1", 10s).empty());
  const pid_t second = p.Start(Armed(now, "2"));
  EXPECT_EQ(p.Wait(second, 20s), 0);
  EXPECT_FALSE(p.WaitForTrace("nothing to show", 1s).empty());
  const auto ben = StoredEntry(p.Folder(), 2);
  EXPECT_GE(ben->m_ftSnooze, now + Seconds(119));
  EXPECT_EQ(p.Wait(first, 20s), 0);
}

TEST(WholeChain, WithoutTextsTheReminderEndsWithAMessageAndKeepsItsState) {
  UtilProgramFolder p;
  SaveDue(p.Folder(), 0);
  std::filesystem::remove(p.Folder() + "local.dat");
  const std::string boxes = p.Folder() + "boxes.txt";
  const pid_t util = p.Start(Armed(platform::GetLocalFileTime(), "1"),
                             {"NATALO_MESSAGEBOX_ANSWERS=1", "NATALO_MESSAGEBOX_LOG=" + boxes});
  EXPECT_EQ(p.Wait(util, 20s), 0);
  EXPECT_NE(testsupport::ReadFileBytes(boxes).find("Can't find resource file!"), std::string::npos);
  EXPECT_EQ(StoredEntry(p.Folder(), 1)->m_dwSnoozeCounter, 0u);
  EXPECT_TRUE(p.WaitForTrace("shown", 1ms).empty());
}

// The notification's Snooze and Dismiss run the window's own commands: the
// state block in storage.dat, the re-armed moment, the notification closed;
// the reminder coming back after the snooze replaces its notification.
TEST(WholeChain, TheNotificationsActionsAnswerTheReminder) {
  // The command line's snooze answers as the notification's does.
  const struct {
    const char* action;
    bool snoozed;
    bool fromCommandLine;
  } rows[] = {{"snooze", true, false}, {"dismiss", false, false}, {"snooze", true, true}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.action);
    UtilProgramFolder p;
    MockNotificationServer server(p.Harness().Folder().parent_path(), "body actions");
    ASSERT_TRUE(server.Ready());
    notifytest::EnvScope bus("DBUS_SESSION_BUS_ADDRESS", server.Address().c_str());
    ASSERT_GT(p.Harness().StartDaemon(), 0);
    SaveDue(p.Folder(), platform::GetLocalFileTime() + Seconds(3));
    ASSERT_EQ(p.Wait(p.Start(""), 20s), 0);

    const std::string notified = p.WaitForTrace("notified 1 ", 20s);
    ASSERT_FALSE(notified.empty()) << p.Harness().Log();
    // The window paints without waiting for the notification server.
    const std::vector<std::string> trace = p.Trace();
    const auto lineOf = [&trace](const std::string& prefix) {
      return std::find_if(trace.begin(), trace.end(), [&](const std::string& l) { return l.rfind(prefix, 0) == 0; }) -
             trace.begin();
    };
    EXPECT_LT(lineOf("shown 1 "), lineOf("notified 1 "));
    const std::string log = server.Log();
    for (const char* part : {"Notify \"Natalo\" 0 \"natalo\" \"Birthday\" \"Anna Berg", "Turns ",
                             "[\"default\", \"Birthday\", \"dismiss\", \"Dismiss\", \"snooze\", \"Snooze 5 minutes\"]",
                             "\"desktop-entry\": \"natalo-reminder\"", "\"urgency\": 2", "\"suppress-sound\": True",
                             "\"image-data\": dbus.Struct((dbus.Int32(48), dbus.Int32(48), dbus.Int32(192)"}) {
      EXPECT_NE(log.find(part), std::string::npos) << part << "\n" << log.substr(0, 600);
    }
    const FileTime answeredAt = platform::GetLocalFileTime();
    if (row.fromCommandLine) {
      EXPECT_EQ(RunCommandLine(p, "dismiss 2"), 1) << "Ben's reminder is not on screen";
      EXPECT_EQ(RunCommandLine(p, std::string(row.action) + " 1"), 0);
    } else {
      ASSERT_TRUE(server.Emit("ActionInvoked", "us", "<uint32 " + NotifiedId(notified) + ">, <'" + row.action + "'>"));
    }
    ASSERT_FALSE(p.WaitForTrace("done", 20s).empty());
    EXPECT_NE(server.Log().find("CloseNotification " + NotifiedId(notified)), std::string::npos);

    const auto anna = StoredEntry(p.Folder(), 1);
    EXPECT_EQ(anna->m_dwSnoozeCounter, row.snoozed ? 2u : 0u);  // the service fired a pending snooze
    EXPECT_EQ(anna->m_dwAutoSnoozeCounter, 0u);
    if (!row.snoozed) {
      EXPECT_EQ(anna->m_ftSnooze, 0u);
      continue;
    }
    EXPECT_NEAR(static_cast<double>(anna->m_ftSnooze), static_cast<double>(answeredAt + Seconds(300)), 3e7);
    platform::NotificationTrigger armed;
    EXPECT_TRUE(WaitArmedAt(p.Folder() + "NataloUtil", anna->m_ftSnooze, armed)) << armed.arguments;
    // Back after the snooze: the earlier notification is replaced, not stacked.
    const pid_t again = p.Start(Armed(anna->m_ftSnooze, "1"), {"NATALO_UTIL_COMMANDS=" + std::to_string(kCmdDismiss)});
    EXPECT_EQ(p.Wait(again, 20s), 0);
    EXPECT_NE(server.Log().find("Notify \"Natalo\" " + NotifiedId(notified) + " "), std::string::npos);
  }
}

// With "Notification only" chosen, a notification path that fails or goes
// away leaves the window; answers that are not ours change nothing.
TEST(WholeChain, NotificationFaultsNeverLoseTheReminder) {
  enum class Fault { NoBus, NotifyRefused, NotifySilent, StrayActions, ClosedAtOnce, ServerLeaves };
  const struct {
    Fault fault;
    const char* expected;  // the trace line that follows the fault
  } rows[] = {{Fault::NoBus, "notification failed"},        {Fault::NotifyRefused, "notification failed"},
              {Fault::NotifySilent, "notification failed"}, {Fault::StrayActions, "action snooze"},
              {Fault::ClosedAtOnce, "notification closed 1"}, {Fault::ServerLeaves, "notification closed 0"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(static_cast<int>(row.fault));
    UtilProgramFolder p;
    SaveDue(p.Folder(), 0);
    ASSERT_TRUE(WriteRegistryDword(SettingPath(u"Reminder\\ShowAs"), kShowNotificationOnly));
    std::optional<MockNotificationServer> server;
    // The window, once up, snoozes by a minute.
    std::vector<std::string> environment = {"NATALO_UTIL_COMMANDS=" + std::to_string(kCmdSnoozeFirst),
                                            "NATALO_UTIL_COMMAND_DELAY_MS=300"};
    if (row.fault != Fault::NoBus) {
      server.emplace(p.Harness().Folder().parent_path(), "body actions");
      ASSERT_TRUE(server->Ready());
      environment.push_back("DBUS_SESSION_BUS_ADDRESS=" + server->Address());
    }
    if (row.fault == Fault::NotifyRefused) {
      ASSERT_TRUE(server->ReplaceNotify("raise dbus.exceptions.DBusException('no', name='org.freedesktop.DBus.Error.AccessDenied')"));
    } else if (row.fault == Fault::NotifySilent) {
      ASSERT_TRUE(server->ReplaceNotify("import time; time.sleep(3); ret = 7"));
    }
    const FileTime started = platform::GetLocalFileTime();
    const pid_t util = p.Start(Armed(started, "1"), environment);
    if (server && row.fault != Fault::NotifyRefused && row.fault != Fault::NotifySilent) {
      const std::string notified = p.WaitForTrace("notified 1 ", 20s);
      ASSERT_FALSE(notified.empty());
      const std::string id = NotifiedId(notified);
      if (row.fault == Fault::StrayActions) {
        // Another id, an unknown key, then the snooze; the dismiss after it comes too late.
        const std::string other = std::to_string(std::stoul(id) + 1);
        for (const std::string& args : {"<uint32 " + other + ">, <'dismiss'>", "<uint32 " + id + ">, <'later'>",
                                        "<uint32 " + id + ">, <'snooze'>", "<uint32 " + id + ">, <'dismiss'>"}) {
          ASSERT_TRUE(server->Emit("ActionInvoked", "us", args));
        }
      } else if (row.fault == Fault::ClosedAtOnce) {
        ASSERT_TRUE(server->Emit("NotificationClosed", "uu", "<uint32 " + id + ">, <uint32 1>"));
      } else {
        server->Stop();
      }
    }
    EXPECT_FALSE(p.WaitForTrace(row.expected, 20s).empty());
    EXPECT_EQ(p.Wait(util, 20s), 0);
    // Snoozed once: by the first answer of ours from a hidden window, or by
    // the window that came up.
    const auto anna = StoredEntry(p.Folder(), 1);
    EXPECT_EQ(anna->m_dwSnoozeCounter, 1u);
    const std::string shown = p.WaitForTrace("shown 1 ", 1ms);
    if (row.fault == Fault::StrayActions) {
      EXPECT_TRUE(shown.empty());
      EXPECT_NEAR(static_cast<double>(anna->m_ftSnooze), static_cast<double>(started + Seconds(300)), 5e7);
      continue;
    }
    ASSERT_FALSE(shown.empty());
    // A silent server holds the window back by its answer limit at most.
    if (row.fault == Fault::NotifySilent) {
      EXPECT_LT(std::stoull(shown.substr(8)), started + Seconds(3));
    }
  }
}
