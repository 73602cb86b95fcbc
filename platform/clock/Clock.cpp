#include "platform/clock/Clock.h"

#include <atomic>
#include <ctime>

namespace platform {
namespace {

// Days from 1601-01-01 to the given date (proleptic Gregorian).
std::int64_t DaysFromEpoch(int year, int month, int day) {
  // Civil-from-days algorithm shifted so that March is the first month;
  // February, with its leap day, then ends the year.
  const int y = year - (month <= 2 ? 1 : 0);
  const std::int64_t era = y / 400;
  const std::int64_t yoe = y - era * 400;
  const int mp = (month + 9) % 12;
  const std::int64_t doy = (153 * mp + 2) / 5 + day - 1;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  const std::int64_t daysSince0000 = era * 146097 + doe;
  constexpr std::int64_t k1601 = 584694;  // the same count for 1601-01-01
  return daysSince0000 - k1601;
}

void DateFromDays(std::int64_t days, int& year, int& month, int& day) {
  const std::int64_t z = days + 584694;
  const std::int64_t era = z / 146097;
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
}

const SystemClockSource g_systemClock;
std::atomic<const ClockSource*> g_clock{&g_systemClock};

}  // namespace

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonthOf(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  if (month == 2 && IsLeapYear(year)) return 29;
  return kDays[month - 1];
}

bool IsValidDate(int year, int month, int day) {
  return year >= 1601 && year <= 30827 && day >= 1 && day <= DaysInMonthOf(year, month);
}

int DayOfWeek(int year, int month, int day) {
  // 1601-01-01 was a Monday.
  return static_cast<int>((DaysFromEpoch(year, month, day) + 1) % 7);
}

bool SystemTimeToFileTime(const SystemTime& st, FileTime& out) {
  if (!IsValidDate(st.wYear, st.wMonth, st.wDay)) return false;
  if (st.wHour > 23 || st.wMinute > 59 || st.wSecond > 59 || st.wMilliseconds > 999) return false;
  const auto days = static_cast<FileTime>(DaysFromEpoch(st.wYear, st.wMonth, st.wDay));
  out = days * FILETIME_PER_DAY + st.wHour * FILETIME_PER_HOUR + st.wMinute * FILETIME_PER_MINUTE +
        st.wSecond * FILETIME_PER_SECOND + st.wMilliseconds * 10'000ULL;
  return true;
}

bool FileTimeToDate(FileTime ft, int& year, int& month, int& day) {
  if (ft > TIME_NONE) return false;
  DateFromDays(static_cast<std::int64_t>(ft / FILETIME_PER_DAY), year, month, day);
  return true;
}

bool FileTimeToSystemTime(FileTime ft, SystemTime& out) {
  if (ft > TIME_NONE) return false;
  const auto days = static_cast<std::int64_t>(ft / FILETIME_PER_DAY);
  FileTime rest = ft % FILETIME_PER_DAY;
  int year = 0, month = 0, day = 0;
  DateFromDays(days, year, month, day);
  SystemTime st;
  st.wYear = static_cast<std::uint16_t>(year);
  st.wMonth = static_cast<std::uint16_t>(month);
  st.wDay = static_cast<std::uint16_t>(day);
  st.wDayOfWeek = static_cast<std::uint16_t>((days + 1) % 7);
  st.wHour = static_cast<std::uint16_t>(rest / FILETIME_PER_HOUR);
  rest %= FILETIME_PER_HOUR;
  st.wMinute = static_cast<std::uint16_t>(rest / FILETIME_PER_MINUTE);
  rest %= FILETIME_PER_MINUTE;
  st.wSecond = static_cast<std::uint16_t>(rest / FILETIME_PER_SECOND);
  rest %= FILETIME_PER_SECOND;
  st.wMilliseconds = static_cast<std::uint16_t>(rest / 10'000ULL);
  out = st;
  return true;
}

SystemTime SystemTimeFromTm(const struct tm& t) {
  SystemTime st;
  st.wYear = static_cast<std::uint16_t>(t.tm_year + 1900);
  st.wMonth = static_cast<std::uint16_t>(t.tm_mon + 1);
  st.wDayOfWeek = static_cast<std::uint16_t>(t.tm_wday);
  st.wDay = static_cast<std::uint16_t>(t.tm_mday);
  st.wHour = static_cast<std::uint16_t>(t.tm_hour);
  st.wMinute = static_cast<std::uint16_t>(t.tm_min);
  st.wSecond = static_cast<std::uint16_t>(t.tm_sec > 59 ? 59 : t.tm_sec);
  return st;
}

struct tm TmFromSystemTime(const SystemTime& st) {
  struct tm t {};
  t.tm_year = st.wYear - 1900;
  t.tm_mon = st.wMonth - 1;
  t.tm_mday = st.wDay;
  t.tm_wday = st.wDayOfWeek;
  t.tm_hour = st.wHour;
  t.tm_min = st.wMinute;
  t.tm_sec = st.wSecond;
  t.tm_isdst = -1;
  return t;
}

FileTime SystemClockSource::Now() const {
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  tm local{};
  localtime_r(&ts.tv_sec, &local);
  FileTime ft = 0;
  SystemTimeToFileTime(SystemTimeFromTm(local), ft);
  return ft + static_cast<FileTime>(ts.tv_nsec / 100);
}

void SetClockSource(const ClockSource* source) { g_clock.store(source ? source : &g_systemClock); }

FileTime GetLocalFileTime() { return g_clock.load()->Now(); }

SystemTime GetLocalTime() {
  SystemTime st;
  FileTimeToSystemTime(GetLocalFileTime(), st);
  return st;
}

}  // namespace platform
