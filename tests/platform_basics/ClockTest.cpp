#include <gtest/gtest.h>

#include "platform/clock/Clock.h"

using namespace platform;

namespace {
SystemTime Date(int y, int m, int d, int h = 0, int mi = 0, int s = 0) {
  SystemTime st;
  st.wYear = static_cast<uint16_t>(y);
  st.wMonth = static_cast<uint16_t>(m);
  st.wDay = static_cast<uint16_t>(d);
  st.wHour = static_cast<uint16_t>(h);
  st.wMinute = static_cast<uint16_t>(mi);
  st.wSecond = static_cast<uint16_t>(s);
  return st;
}
}  // namespace

TEST(Clock, KnownFileTimeValues) {
  FileTime ft = 1;
  ASSERT_TRUE(SystemTimeToFileTime(Date(1601, 1, 1), ft));
  EXPECT_EQ(ft, 0u);
  // 1970-01-01 is 11644473600 seconds after 1601-01-01.
  ASSERT_TRUE(SystemTimeToFileTime(Date(1970, 1, 1), ft));
  EXPECT_EQ(ft, 116444736000000000ULL);
  ASSERT_TRUE(SystemTimeToFileTime(Date(2026, 12, 7, 13, 45, 10), ft));
  SystemTime back;
  ASSERT_TRUE(FileTimeToSystemTime(ft, back));
  EXPECT_EQ(back.wYear, 2026);
  EXPECT_EQ(back.wMonth, 12);
  EXPECT_EQ(back.wDay, 7);
  EXPECT_EQ(back.wDayOfWeek, 1);  // a Monday
  EXPECT_EQ(back.wHour, 13);
  EXPECT_EQ(back.wMinute, 45);
  EXPECT_EQ(back.wSecond, 10);
}

TEST(Clock, InvalidDatesFailInsteadOfWrapping) {
  FileTime ft = 42;
  EXPECT_FALSE(SystemTimeToFileTime(Date(2026, 4, 31), ft));
  EXPECT_FALSE(SystemTimeToFileTime(Date(2026, 1, 0), ft));
  EXPECT_FALSE(SystemTimeToFileTime(Date(2025, 2, 29), ft));
  EXPECT_FALSE(SystemTimeToFileTime(Date(1900, 2, 29), ft));  // century rule
  EXPECT_FALSE(SystemTimeToFileTime(Date(2026, 13, 1), ft));
  EXPECT_FALSE(SystemTimeToFileTime(Date(2026, 1, 1, 24), ft));
  EXPECT_EQ(ft, 42u);
  EXPECT_TRUE(SystemTimeToFileTime(Date(2024, 2, 29), ft));
  EXPECT_TRUE(SystemTimeToFileTime(Date(2000, 2, 29), ft));
  SystemTime st;
  EXPECT_FALSE(FileTimeToSystemTime(TIME_NONE + 1, st));
  int year = 0, month = 0, day = 0;
  EXPECT_FALSE(FileTimeToDate(TIME_NONE + 1, year, month, day));
}

TEST(Clock, RoundTripsEveryDayOverFourHundredYears) {
  FileTime start = 0;
  ASSERT_TRUE(SystemTimeToFileTime(Date(1900, 1, 1), start));
  int expectedWeekday = 1;  // 1900-01-01 was a Monday
  for (int i = 0; i < 146097; ++i) {
    const FileTime ft = start + static_cast<FileTime>(i) * FILETIME_PER_DAY;
    SystemTime st;
    ASSERT_TRUE(FileTimeToSystemTime(ft, st));
    ASSERT_EQ(st.wDayOfWeek, expectedWeekday);
    FileTime again = 0;
    ASSERT_TRUE(SystemTimeToFileTime(st, again));
    ASSERT_EQ(again, ft);
    int year = 0, month = 0, day = 0;
    ASSERT_TRUE(FileTimeToDate(ft + FILETIME_PER_DAY - 1, year, month, day));
    ASSERT_EQ(year * 10000 + month * 100 + day, st.wYear * 10000 + st.wMonth * 100 + st.wDay);
    expectedWeekday = (expectedWeekday + 1) % 7;
  }
}

TEST(Clock, ReplaceableClockSource) {
  FixedClockSource fixed(123456789);
  SetClockSource(&fixed);
  EXPECT_EQ(GetLocalFileTime(), 123456789u);
  fixed.Advance(FILETIME_PER_DAY);
  EXPECT_EQ(GetLocalFileTime(), 123456789u + FILETIME_PER_DAY);
  SetClockSource(nullptr);
  EXPECT_GT(GetLocalFileTime(), 130000000000000000ULL);  // after 2012
}

TEST(Clock, SystemClockFollowsTimeZoneWithoutUtcConversion) {
  // The same instant read in two zones differs by their offset.
  setenv("TZ", "UTC", 1);
  tzset();
  const FileTime utc = GetLocalFileTime();
  setenv("TZ", "Asia/Kolkata", 1);  // +05:30, no DST
  tzset();
  const FileTime india = GetLocalFileTime();
  setenv("TZ", "Europe/Berlin", 1);
  tzset();
  const long long diff = static_cast<long long>(india - utc) - 5 * 3600LL * 10000000LL - 30 * 60LL * 10000000LL;
  EXPECT_LT(std::llabs(diff), 20LL * 10000000LL);
}
