#pragma once
// Compact builders of schedule items and local times for the engine's tests and
// benchmarks.
#include <cstdint>
#include <cstdio>
#include <string>

#include "common/store/ScheduleFields.h"
#include "platform/clock/Clock.h"

namespace enginetest {

using platform::FileTime;
using platform::TIME_NONE;

inline FileTime At(int year, int month, int day, int hour = 0, int minute = 0, int second = 0, int ms = 0) {
  platform::SystemTime st;
  st.wYear = static_cast<std::uint16_t>(year);
  st.wMonth = static_cast<std::uint16_t>(month);
  st.wDay = static_cast<std::uint16_t>(day);
  st.wHour = static_cast<std::uint16_t>(hour);
  st.wMinute = static_cast<std::uint16_t>(minute);
  st.wSecond = static_cast<std::uint16_t>(second);
  st.wMilliseconds = static_cast<std::uint16_t>(ms);
  FileTime ft = 0;
  platform::SystemTimeToFileTime(st, ft);
  return ft;
}

inline std::string Show(FileTime ft) {
  if (ft == TIME_NONE) return "TIME_NONE";
  platform::SystemTime st;
  if (!platform::FileTimeToSystemTime(ft, st)) return std::to_string(ft);
  char buf[64];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d.%03d", st.wYear, st.wMonth, st.wDay, st.wHour,
                st.wMinute, st.wSecond, st.wMilliseconds);
  return buf;
}

inline ScheduleFields Item(std::uint32_t kind, FileTime start) {
  ScheduleFields f{};
  f.m_dwKind = kind;
  f.m_ftStart = start;
  f.m_dwWeekDays = 127;
  f.m_bEnabled = 1;
  f.m_dwMonths = 0xFFF;
  f.m_nMonthDay = 1;
  f.m_dwWeekDay = 1;
  return f;
}

inline ScheduleFields Weekly(std::uint32_t days, int hour, int minute = 0) {
  auto f = Item(1, At(2000, 1, 1, hour, minute));
  f.m_dwWeekDays = days;
  return f;
}
inline ScheduleFields EveryDay(int hour, int minute = 0) {
  auto f = Weekly(127, hour, minute);
  f.m_dwKind = 64;
  return f;
}
inline ScheduleFields Once(FileTime start) { return Item(2, start); }
inline ScheduleFields Yearly(FileTime start) { return Item(32, start); }

// type: ByDay 0, ByWeekDay 1, ByWorkDays 2, ByWeekends 3.
inline ScheduleFields Monthly(std::uint16_t type, std::int32_t monthDay, std::uint32_t months = 0xFFF, int hour = 9) {
  auto f = Item(8, At(2000, 1, 1, hour));
  f.m_wMonthlyType = type;
  f.m_nMonthDay = monthDay;
  f.m_dwMonths = months;
  return f;
}
inline ScheduleFields MonthlyWeekDay(std::uint32_t weekOfMonth, std::uint32_t weekDayBit, std::uint32_t months = 0xFFF,
                                     int hour = 9) {
  auto f = Monthly(1, 1, months, hour);
  f.m_dwWeekOfMonth = weekOfMonth;
  f.m_dwWeekDay = weekDayBit;
  return f;
}

inline ScheduleFields With(ScheduleFields f, std::int32_t uid, std::uint16_t skip = 0, FileTime snooze = 0,
                           std::uint32_t snoozeCounter = 0) {
  f.m_nUID = uid;
  f.m_wSkipNext = skip;
  f.m_ftSnooze = snooze;
  f.m_dwSnoozeCounter = snoozeCounter;
  return f;
}

}  // namespace enginetest
