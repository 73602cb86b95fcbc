#pragma once
// Recurrence kinds of a schedule item, the monthly day selections and the
// weekday and month bit masks that the schedule fields use.
#include <cstdint>

// The value of m_dwKind; one bit set.
enum Recurrence : std::uint32_t {
  Weekly = 1,
  Once = 2,
  Next24Hours = 4,
  Monthly = 8,
  Yearly = 32,
  EveryDay = 64,
};

// The value of m_wMonthlyType.
enum MonthlyType : std::uint16_t {
  ByDay = 0,       // m_nMonthDay 1..31; 0 last day, -1..-3 days before the last
  ByWeekDay = 1,   // the m_dwWeekOfMonth-th m_dwWeekDay (0 first .. 3 fourth, else last)
  ByWorkDays = 2,  // the m_nMonthDay-th working day, 24 = the last
  ByWeekends = 3,  // the m_nMonthDay-th weekend day, 24 = the last
};

// Weekday bits of m_dwWeekDays and m_dwWeekDay.
enum WeekDayBit : std::uint32_t {
  MondayBit = 1,
  TuesdayBit = 2,
  WednesdayBit = 4,
  ThursdayBit = 8,
  FridayBit = 16,
  SaturdayBit = 32,
  SundayBit = 64,
  AllWeekDays = 127,
};

// Month bits of m_dwMonths: January bit 0 .. December bit 11.
inline constexpr std::uint32_t AllMonths = 0xFFF;

// The bit of a weekday numbered Sunday 0 .. Saturday 6 (as in platform::SystemTime);
// 0 for a number outside that range.
constexpr std::uint32_t WeekDayBitOf(int dayOfWeek) {
  if (dayOfWeek < 0 || dayOfWeek > 6) return 0;
  return dayOfWeek == 0 ? SundayBit : 1u << (dayOfWeek - 1);
}

// The bit of a month 1..12; 0 outside that range.
constexpr std::uint32_t MonthBitOf(int month) { return month >= 1 && month <= 12 ? 1u << (month - 1) : 0; }

// Position of a kind in displayed lists: shorter-lived kinds first, unknown kinds last.
constexpr int KindDisplayOrder(std::uint32_t kind) {
  switch (kind) {
    case Next24Hours: return 0;
    case Once: return 1;
    case EveryDay: return 2;
    case Weekly: return 3;
    case Monthly: return 4;
    case Yearly: return 5;
    default: return 1000;
  }
}
