#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "platform/notify/NotificationStore.h"
#include "platform/notify/ServiceStart.h"
#include "platform/notify/SessionDisplay.h"
#include "platform/notify/UserNotification.h"
#include "tests/platform_notify/DaemonHarness.h"
#include "tests/support/TempDir.h"

using namespace platform;
using notifytest::EnvScope;

namespace {

// Client calls against a private folder; no service can be started from here.
class UserNotificationTest : public ::testing::Test {
 protected:
  testsupport::TestEnvironment m_env;
  std::filesystem::path m_folder = m_env.Root() / "notify";
  EnvScope m_dir{"NATALO_NOTIFY_DIR", m_folder.c_str()};
  EnvScope m_service{"NATALO_NOTIFYD", "/nonexistent/natalo-notifyd"};
};

NotificationTrigger Timed(const std::string& args) {
  NotificationTrigger t;
  t.type = NotificationType::Time;
  t.application = "/opt/Natalo/NataloUtil";
  t.arguments = args;
  t.start = {2031, 2, 0, 28, 23, 59, 58, 0};
  return t;
}

NotificationTrigger OnClockChange() {
  NotificationTrigger t;
  t.type = NotificationType::Event;
  t.event = NotificationEvent::TimeChange;
  t.application = "/opt/Natalo/NataloUtil";
  return t;
}

std::vector<NotificationHandle> Handles() {
  std::vector<NotificationHandle> handles;
  EXPECT_TRUE(GetUserNotificationHandles(handles));
  return handles;
}

}  // namespace

TEST_F(UserNotificationTest, SetListReadClear) {
  EXPECT_TRUE(Handles().empty());  // no folder yet: nothing armed
  const NotificationHandle timed = SetUserNotification(Timed("/T=\"1\" /ID=\"3,7\""));
  const NotificationHandle event = SetUserNotification(OnClockChange());
  ASSERT_NE(timed, 0u);
  ASSERT_NE(event, 0u);
  EXPECT_NE(timed, event);
  std::vector<NotificationHandle> expected{timed, event};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(Handles(), expected);

  NotificationTrigger read;
  ASSERT_TRUE(GetUserNotification(timed, read));
  EXPECT_EQ(read.type, NotificationType::Time);
  EXPECT_EQ(read.application, "/opt/Natalo/NataloUtil");
  EXPECT_EQ(read.arguments, "/T=\"1\" /ID=\"3,7\"");
  EXPECT_EQ(read.start.wYear, 2031);
  EXPECT_EQ(read.start.wDay, 28);
  EXPECT_EQ(read.start.wSecond, 58);
  ASSERT_TRUE(GetUserNotification(event, read));
  EXPECT_EQ(read.type, NotificationType::Event);
  EXPECT_EQ(read.event, NotificationEvent::TimeChange);
  EXPECT_EQ(read.arguments, "");

  EXPECT_TRUE(ClearUserNotification(timed));
  EXPECT_FALSE(ClearUserNotification(timed));
  EXPECT_FALSE(GetUserNotification(timed, read));
  EXPECT_EQ(Handles(), std::vector<NotificationHandle>{event});
  EXPECT_FALSE(ClearUserNotification(0));
}

TEST_F(UserNotificationTest, HandlesAreUniqueAndNeverZero) {
  std::set<NotificationHandle> seen;
  for (int i = 0; i < 50; ++i) {
    const NotificationHandle h = SetUserNotification(Timed(std::to_string(i)));
    ASSERT_NE(h, 0u);
    EXPECT_TRUE(seen.insert(h).second);
  }
  EXPECT_EQ(Handles().size(), 50u);
  // Every record file is complete: nothing is left half-written beside them.
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(m_folder)) {
    EXPECT_EQ(entry.path().extension(), ".ntf");
    ++files;
  }
  EXPECT_EQ(files, 50);
}

TEST_F(UserNotificationTest, CorruptAndForeignFilesAreSkipped) {
  const NotificationHandle good = SetUserNotification(Timed("ok"));
  ASSERT_NE(good, 0u);
  ASSERT_TRUE(testsupport::WriteFileBytes(m_folder / "0000abcd.ntf", "version=1\nkind=time\nstart=12"));
  ASSERT_TRUE(testsupport::WriteFileBytes(m_folder / "0000abce.ntf", std::string("\0\xff\xfe", 3)));
  // Records anyone may write, or links to elsewhere, could name any program: not trusted.
  const auto goodPath = m_folder / NotificationStore::FileNameOf(good);
  ASSERT_TRUE(testsupport::WriteFileBytes(m_folder / "0000abcf.ntf", testsupport::ReadFileBytes(goodPath)));
  std::filesystem::permissions(m_folder / "0000abcf.ntf", std::filesystem::perms::all);
  std::filesystem::create_symlink(goodPath, m_folder / "0000abd0.ntf");
  ASSERT_TRUE(testsupport::WriteFileBytes(m_folder / "00000000.ntf", testsupport::ReadFileBytes(goodPath)));
  ASSERT_TRUE(testsupport::WriteFileBytes(m_folder / "notes.txt", "hello"));
  ASSERT_TRUE(testsupport::WriteFileBytes(m_folder / ".new-Ab12Cd", "version=1\n"));
  EXPECT_EQ(Handles(), std::vector<NotificationHandle>{good});
  NotificationTrigger read;
  EXPECT_FALSE(GetUserNotification(0xabcd, read));
  EXPECT_TRUE(GetUserNotification(good, read));
}

TEST(NotificationFolder, EnvironmentDecides) {
  EnvScope dir("NATALO_NOTIFY_DIR", "/somewhere/notes");
  EXPECT_EQ(GetNotificationFolder(), "/somewhere/notes/");
  EnvScope noDir("NATALO_NOTIFY_DIR", nullptr);
  EnvScope data("XDG_DATA_HOME", "/data");
  EXPECT_EQ(GetNotificationFolder(), "/data/Natalo/notifications/");
  EnvScope noData("XDG_DATA_HOME", nullptr);
  EnvScope home("HOME", "/home/u");
  EXPECT_EQ(GetNotificationFolder(), "/home/u/.local/share/Natalo/notifications/");
}

TEST(ServiceStart, UserManagerFirstThenSpawn) {
  struct Row {
    bool managerRuns, overridden;
    int exitCode;  // of `systemctl --user start`; -1: no answer in time
    ServiceStartWay way;
    bool asked;
  } rows[] = {
      {true, false, 0, ServiceStartWay::UserManager, true},
      {true, false, 5, ServiceStartWay::Spawn, true},   // unit not installed
      {true, false, -1, ServiceStartWay::Spawn, true},  // manager hangs
      {false, false, 0, ServiceStartWay::Spawn, false},
      {true, true, 0, ServiceStartWay::Spawn, false},  // an explicit service program
  };
  for (const Row& row : rows) {
    std::vector<std::vector<std::string>> calls;
    const CommandRunner run = [&](const std::vector<std::string>& argv) {
      calls.push_back(argv);
      return CommandResult{row.exitCode, {}};
    };
    EXPECT_EQ(StartServiceThroughUserManager(row.managerRuns, row.overridden, run), row.way) << row.exitCode;
    const std::vector<std::vector<std::string>> expected = {{"systemctl", "--user", "start", "natalo-notifyd.service"}};
    EXPECT_EQ(calls, row.asked ? expected : std::vector<std::vector<std::string>>{}) << row.exitCode;
  }
}

TEST(ServiceStart, CommandsAreBoundInTime) {
  const auto start = std::chrono::steady_clock::now();
  const CommandResult slow = RunCommand({"sleep", "10"}, std::chrono::milliseconds(200));
  EXPECT_EQ(slow.exitCode, -1);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_EQ(RunCommand({"printf", "DISPLAY=:1"}, std::chrono::seconds(5)).output, "DISPLAY=:1");
  EXPECT_EQ(RunCommand({"/nonexistent/systemctl"}, std::chrono::seconds(5)).exitCode, -1);
}

namespace {

void MakeSocket(const std::filesystem::path& path) {
  const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
  ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0) << path;
  close(fd);
}

}  // namespace

TEST(SessionDisplay, MissingVariablesComeFromTheManagerThenFromSockets) {
  testsupport::TempDir dir;
  const auto run = dir.Path() / "run";
  const auto x11 = dir.Path() / "x11";
  std::filesystem::create_directories(run);
  std::filesystem::create_directories(x11);
  MakeSocket(run / "wayland-1");
  MakeSocket(run / "wayland-0");
  ASSERT_TRUE(testsupport::WriteFileBytes(run / "wayland-0.lock", ""));
  MakeSocket(x11 / "X2");
  const std::string manager =
      "HOME=/home/u\nWAYLAND_DISPLAY=wayland-0\nDISPLAY=:0\nXAUTHORITY=$'/run/user/1000/.mutter-Xwaylandauth.A\\'B'\n";
  struct Row {
    std::vector<std::string> own;
    std::string manager, runtime;
    std::vector<std::string> added;
  } rows[] = {
      {{"HOME=/home/u"},
       manager,
       run,
       {"DISPLAY=:0", "WAYLAND_DISPLAY=wayland-0", "XAUTHORITY=/run/user/1000/.mutter-Xwaylandauth.A'B"}},
      // What the service has stays; an empty value counts as missing.
      {{"DISPLAY=:5", "WAYLAND_DISPLAY=", "XAUTHORITY=/x"}, manager, run, {"WAYLAND_DISPLAY=wayland-0"}},
      {{"DISPLAY=:5", "WAYLAND_DISPLAY=w", "XAUTHORITY=/x"}, manager, run, {}},
      // No manager: the sockets there are, the lowest of each, lock files aside.
      {{"HOME=/home/u"}, "", run, {"WAYLAND_DISPLAY=wayland-0", "DISPLAY=:2"}},
      {{"HOME=/home/u"}, "", "", {"DISPLAY=:2"}},
      // A display known from the manager: no guessing.
      {{}, "DISPLAY=:7\n", run, {"DISPLAY=:7"}},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(MissingDisplayEnvironment(row.own, row.manager, row.runtime, x11), row.added) << row.own.front();
  }
}

TEST(ServiceInstall, UnitAndAutostartEntryGoWhereTheyAreRead) {
  testsupport::TempDir dir;
  const std::string home = (dir.Path() / "home").string();
  const std::string root = (dir.Path() / "root").string();
  struct Row {
    std::string prefix, destdir, autostart, unitFolder, service;
  } rows[] = {
      {home + "/.local", "", home + "/cfg/autostart", home + "/.local/share/systemd/user",
       home + "/.local/lib/Natalo/natalo-notifyd"},
      {"/usr", root, root + "/etc/xdg/autostart", root + "/usr/lib/systemd/user", "/usr/lib/Natalo/natalo-notifyd"},
  };
  EnvScope homeVar("HOME", home.c_str());
  EnvScope config("XDG_CONFIG_HOME", (home + "/cfg").c_str());
  EnvScope data("XDG_DATA_HOME", "relative/ignored");
  for (const Row& row : rows) {
    EnvScope destdir("DESTDIR", row.destdir.empty() ? nullptr : row.destdir.c_str());
    const CommandResult install = RunCommand(
        {CMAKE_COMMAND, "--install", NATALO_BUILD_DIR, "--component", "session", "--prefix", row.prefix},
        std::chrono::seconds(60));
    ASSERT_EQ(install.exitCode, 0) << install.output;
    const std::string unit = testsupport::ReadFileBytes(row.unitFolder + "/natalo-notifyd.service");
    for (const std::string& line :
         {"ExecStart=" + row.service, std::string("PartOf=graphical-session.target"),
          std::string("After=graphical-session.target"), std::string("WantedBy=graphical-session.target"),
          std::string("Restart=on-failure")}) {
      EXPECT_NE(unit.find("\n" + line + "\n"), std::string::npos) << line << "\n" << unit;
    }
    EXPECT_EQ(unit.find("Type=forking"), std::string::npos);
    // Enabled for the session.
    EXPECT_EQ(testsupport::ReadFileBytes(row.unitFolder + "/graphical-session.target.wants/natalo-notifyd.service"),
              unit);
    const std::string entry = testsupport::ReadFileBytes(row.autostart + "/natalo-notifyd.desktop");
    for (const std::string& line :
         {"Exec=" + row.service, std::string("X-GNOME-HiddenUnderSystemd=true"), std::string("X-systemd-skip=true")}) {
      EXPECT_NE(entry.find("\n" + line + "\n"), std::string::npos) << line << "\n" << entry;
    }
  }
}
