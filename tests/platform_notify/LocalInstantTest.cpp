#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "platform/notify/LocalInstant.h"
#include "tests/platform_notify/DaemonHarness.h"

using namespace platform;

namespace {

// Switches the time zone for the scope.
class ZoneScope {
 public:
  explicit ZoneScope(const char* zone) : m_tz("TZ", zone) { tzset(); }

 private:
  struct Reload {
    ~Reload() { tzset(); }
  } m_reload;  // destroyed last, once TZ is back
  notifytest::EnvScope m_tz;
};

FileTime Local(int y, int mo, int d, int h, int mi, int s, int ms = 0) {
  SystemTime st;
  st.wYear = static_cast<std::uint16_t>(y);
  st.wMonth = static_cast<std::uint16_t>(mo);
  st.wDay = static_cast<std::uint16_t>(d);
  st.wHour = static_cast<std::uint16_t>(h);
  st.wMinute = static_cast<std::uint16_t>(mi);
  st.wSecond = static_cast<std::uint16_t>(s);
  st.wMilliseconds = static_cast<std::uint16_t>(ms);
  FileTime ft = 0;
  EXPECT_TRUE(SystemTimeToFileTime(st, ft));
  return ft;
}

time_t Utc(int y, int mo, int d, int h, int mi, int s) {
  tm t{};
  t.tm_year = y - 1900;
  t.tm_mon = mo - 1;
  t.tm_mday = d;
  t.tm_hour = h;
  t.tm_min = mi;
  t.tm_sec = s;
  return timegm(&t);
}

}  // namespace

TEST(LocalInstant, PlacesWallClockTimesInTheZone) {
  ZoneScope zone("Europe/Berlin");
  timespec ts{};
  ASSERT_TRUE(LocalFileTimeToInstant(Local(2024, 6, 1, 12, 0, 0, 500), ts));
  EXPECT_EQ(ts.tv_sec, Utc(2024, 6, 1, 10, 0, 0));
  EXPECT_EQ(ts.tv_nsec, 500'000'000);
  ASSERT_TRUE(LocalFileTimeToInstant(Local(2024, 1, 15, 9, 30, 0), ts));
  EXPECT_EQ(ts.tv_sec, Utc(2024, 1, 15, 8, 30, 0));

  // 02:30 happens twice on 27 October 2024: the first one counts.
  ASSERT_TRUE(LocalFileTimeToInstant(Local(2024, 10, 27, 2, 30, 0), ts));
  EXPECT_EQ(ts.tv_sec, Utc(2024, 10, 27, 0, 30, 0));
  // 02:30 never happens on 31 March 2024: the clock jumps from 02:00 to 03:00 at 01:00 UTC.
  ASSERT_TRUE(LocalFileTimeToInstant(Local(2024, 3, 31, 2, 30, 0), ts));
  EXPECT_EQ(ts.tv_sec, Utc(2024, 3, 31, 1, 0, 0));
}

TEST(LocalInstant, FollowsTheCurrentZone) {
  timespec ts{};
  {
    ZoneScope zone("America/New_York");
    ASSERT_TRUE(LocalFileTimeToInstant(Local(2024, 6, 1, 12, 0, 0), ts));
    EXPECT_EQ(ts.tv_sec, Utc(2024, 6, 1, 16, 0, 0));
  }
  {
    ZoneScope zone("UTC");
    ReloadTimeZone();
    ASSERT_TRUE(LocalFileTimeToInstant(Local(2024, 6, 1, 12, 0, 0), ts));
    EXPECT_EQ(ts.tv_sec, Utc(2024, 6, 1, 12, 0, 0));
    EXPECT_STREQ(std::getenv("TZ"), "UTC");
  }
}
