#pragma once
// Local wall-clock time and calendar conversions.
//
// A FileTime counts 100-nanosecond units since 1 January 1601 and always holds
// LOCAL wall-clock time: the conversions below are plain calendar arithmetic and
// never pass through UTC. Only reading "now" consults the time zone (TZ, DST).
#include <cstdint>
#include <ctime>
#include <memory>

namespace platform {

using FileTime = std::uint64_t;

inline constexpr FileTime TIME_NONE = 0x7FFFFFFFFFFFFFFFULL;
inline constexpr FileTime FILETIME_PER_SECOND = 10'000'000ULL;
inline constexpr FileTime FILETIME_PER_MINUTE = 60 * FILETIME_PER_SECOND;
inline constexpr FileTime FILETIME_PER_HOUR = 60 * FILETIME_PER_MINUTE;
inline constexpr FileTime FILETIME_PER_DAY = 864'000'000'000ULL;

// Calendar date-time of eight 16-bit fields. Weekday: Sunday 0 .. Saturday 6.
struct SystemTime {
  std::uint16_t wYear = 0;
  std::uint16_t wMonth = 0;
  std::uint16_t wDayOfWeek = 0;
  std::uint16_t wDay = 0;
  std::uint16_t wHour = 0;
  std::uint16_t wMinute = 0;
  std::uint16_t wSecond = 0;
  std::uint16_t wMilliseconds = 0;
};

bool IsLeapYear(int year);                // Gregorian rule
int DaysInMonthOf(int year, int month);   // 0 for a month outside 1..12
bool IsValidDate(int year, int month, int day);

// Fails (returns false, leaves out unchanged) for an invalid date or time:
// day 0, 31 April, 29 February of a common year, hour 24, a year before 1601
// or after 30827. The weekday field of the input is ignored.
bool SystemTimeToFileTime(const SystemTime& st, FileTime& out);
// Fills every field including the weekday. Fails for values above 0x7FFFFFFFFFFFFFFF.
bool FileTimeToSystemTime(FileTime ft, SystemTime& out);
// The date of `ft` alone, as FileTimeToSystemTime gives it.
bool FileTimeToDate(FileTime ft, int& year, int& month, int& day);

// The calendar fields of a C library broken-down time (a leap second, tm_sec 60,
// is folded into the last second of its minute).
SystemTime SystemTimeFromTm(const struct tm& t);
// The broken-down time of the calendar fields, daylight saving time unknown
// (tm_isdst -1), for mktime and strftime.
struct tm TmFromSystemTime(const SystemTime& st);

// Weekday (Sunday 0) of a valid date.
int DayOfWeek(int year, int month, int day);

// Where "now" comes from; tests install their own.
class ClockSource {
 public:
  virtual ~ClockSource() = default;
  // Local wall-clock now.
  virtual FileTime Now() const = 0;
};

// The system's local clock: honours TZ and DST.
class SystemClockSource final : public ClockSource {
 public:
  FileTime Now() const override;
};

// A clock that stands still until moved; for tests.
class FixedClockSource final : public ClockSource {
 public:
  explicit FixedClockSource(FileTime now = 0) : m_now(now) {}
  FileTime Now() const override { return m_now; }
  void Set(FileTime now) { m_now = now; }
  void Advance(FileTime delta) { m_now += delta; }

 private:
  FileTime m_now;
};

// Replaces the process-wide clock (nullptr restores the system clock).
// The caller keeps ownership and keeps the source alive while installed.
void SetClockSource(const ClockSource* source);

FileTime GetLocalFileTime();
SystemTime GetLocalTime();

}  // namespace platform
