// What an enabled log writes. Built with NATALO_LOG=1 and run with LC_ALL=C, so
// the date and time texts are the C locale's.
#include <gtest/gtest.h>

#include <filesystem>

#include "common/log/Log.h"
#include "platform/clock/Clock.h"
#include "tests/support/TempDir.h"

#if !NATALO_LOG
#error "this test needs the log switched on"
#endif

namespace {

class LogOn : public ::testing::Test {
 protected:
  LogOn() {
    platform::SystemTime t{2026, 12, 0, 7, 13, 45, 10, 500};
    platform::FileTime ft = 0;
    platform::SystemTimeToFileTime(t, ft);
    m_clock.Set(ft);
    platform::SetClockSource(&m_clock);
    SetLogFile(m_dir.Path().string(), "Test_log.txt");
  }
  ~LogOn() override { platform::SetClockSource(nullptr); }
  std::string Content() const { return testsupport::ReadFileBytes(m_dir.Path() / "Test_log.txt"); }

  testsupport::TempDir m_dir;
  platform::FixedClockSource m_clock;
};

TEST_F(LogOn, AppendsOneBracketedLinePerCall) {
  WriteLog("picked %d of %s", 3, "ab");
  m_clock.Advance(61 * platform::FILETIME_PER_SECOND);
  WriteLog("snooze \xC3\xA4\xE2\x82\xAC");  // UTF-8 passes through unchanged
  EXPECT_EQ(Content(), "[12/07/26 13:45:10]picked 3 of ab\n[12/07/26 13:46:11]snooze \xC3\xA4\xE2\x82\xAC\n");
}

TEST_F(LogOn, LongMessagesAreWrittenWhole) {
  const std::string word(1000, 'x');
  WriteLog("%s|%s", word.c_str(), word.c_str());
  EXPECT_EQ(Content(), "[12/07/26 13:45:10]" + word + "|" + word + "\n");
}

TEST_F(LogOn, FileAboveTheLimitStartsAgain) {
  const auto path = m_dir.Path() / "Test_log.txt";
  ASSERT_TRUE(testsupport::WriteFileBytes(path, std::string(LOG_SIZE_LIMIT, 'a')));
  WriteLog("kept");  // exactly at the limit: appended
  EXPECT_EQ(std::filesystem::file_size(path), LOG_SIZE_LIMIT + 24u);
  WriteLog("fresh");
  EXPECT_EQ(Content(), "[12/07/26 13:45:10]fresh\n");
}

}  // namespace
