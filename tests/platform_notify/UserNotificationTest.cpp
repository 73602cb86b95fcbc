#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>

#include "platform/notify/NotificationStore.h"
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
