// Next-occurrence and next-event rules as tables of (item, now, expected).
// All times are local wall clock: the same table must hold in every time zone.
#include <gtest/gtest.h>

#include <vector>

#include "TickwellLib/NextEventTime.h"
#include "TickwellLib/NextOccurrence.h"
#include "tests/engine/ItemBuilders.h"

using namespace enginetest;

namespace {

struct Row {
  const char* name;
  ScheduleFields item;
  FileTime now;
  FileTime expected;
};

constexpr std::uint32_t kMon = 1, kWed = 4, kFri = 16, kSat = 32, kSun = 64;
constexpr std::uint16_t kByDay = 0, kByWorkDays = 2, kByWeekends = 3;
constexpr std::uint32_t kFeb = 1u << 1, kDec = 1u << 11;

void CheckTable(const std::vector<Row>& rows, FileTime (*rule)(const ScheduleFields&, FileTime)) {
  for (const auto& row : rows) {
    const FileTime got = rule(row.item, row.now);
    EXPECT_EQ(Show(got), Show(row.expected)) << row.name << " (now " << Show(row.now) << ")";
  }
}

TEST(NextOccurrenceTable, WeeklyAndEveryDay) {
  CheckTable(
      {
          {"Monday just before the time", Weekly(kMon, 9), At(2024, 1, 8, 8, 59), At(2024, 1, 8, 9)},
          {"Monday exactly at the time", Weekly(kMon, 9), At(2024, 1, 8, 9, 0, 0, 0), At(2024, 1, 15, 9)},
          {"Monday a millisecond before", Weekly(kMon, 9), At(2024, 1, 8, 8, 59, 59, 999), At(2024, 1, 8, 9)},
          {"no weekday set", Weekly(0, 9), At(2024, 1, 8, 8), TIME_NONE},
          {"Sunday seen from Monday", Weekly(kSun, 9), At(2024, 1, 8, 10), At(2024, 1, 14, 9)},
          {"earliest of several days", Weekly(kWed | kSat, 7, 30), At(2024, 1, 11, 12), At(2024, 1, 13, 7, 30)},
          {"across the year's end", Weekly(kMon, 9), At(2024, 12, 31, 10), At(2025, 1, 6, 9)},
          {"start date is ignored", [] { auto f = Weekly(kFri, 6); f.m_ftStart = At(2030, 5, 5, 6); return f; }(),
           At(2024, 1, 8), At(2024, 1, 12, 6)},
          {"every day, later today", EveryDay(9), At(2024, 1, 10, 8), At(2024, 1, 10, 9)},
          {"every day, tomorrow", EveryDay(9), At(2024, 1, 10, 10), At(2024, 1, 11, 9)},
          {"every day at a DST gap hour", EveryDay(2, 30), At(2024, 3, 31, 1), At(2024, 3, 31, 2, 30)},
      },
      NextOccurrence);
}

TEST(NextOccurrenceTable, MonthlyByDay) {
  CheckTable(
      {
          {"31st skips a 30-day month", Monthly(kByDay, 31), At(2024, 4, 1), At(2024, 5, 31, 9)},
          {"31st skips February", Monthly(kByDay, 31), At(2024, 1, 31, 10), At(2024, 3, 31, 9)},
          {"last day, leap February", Monthly(kByDay, 0), At(2024, 2, 1), At(2024, 2, 29, 9)},
          {"last day, common February", Monthly(kByDay, 0), At(2023, 2, 1), At(2023, 2, 28, 9)},
          {"last day minus 3, leap", Monthly(kByDay, -3), At(2024, 2, 1), At(2024, 2, 26, 9)},
          {"last day minus 3, common", Monthly(kByDay, -3), At(2023, 2, 1), At(2023, 2, 25, 9)},
          {"30 February never exists", Monthly(kByDay, 30, kFeb), At(2024, 1, 1), TIME_NONE},
          {"29 February only, from a common year", Monthly(kByDay, 29, kFeb), At(2025, 3, 1), At(2028, 2, 29, 9)},
          {"no month set", Monthly(kByDay, 5, 0), At(2024, 1, 1), TIME_NONE},
          {"day far below the end", Monthly(kByDay, -100), At(2024, 1, 1), TIME_NONE},
          {"unknown type keeps today's day", Monthly(7, 1), At(2024, 1, 31, 10), At(2024, 3, 31, 9)},
      },
      NextOccurrence);
}

TEST(NextOccurrenceTable, MonthlyByWeekDayAndCountedDays) {
  CheckTable(
      {
          {"first Friday", MonthlyWeekDay(0, kFri), At(2024, 2, 29, 12), At(2024, 3, 1, 9)},
          {"week 4 is the last Friday", MonthlyWeekDay(4, kFri), At(2024, 3, 2), At(2024, 3, 29, 9)},
          {"week 9 is the last Friday too", MonthlyWeekDay(9, kFri), At(2024, 3, 2), At(2024, 3, 29, 9)},
          {"unknown weekday bit counts as Sunday", MonthlyWeekDay(0, 3), At(2024, 3, 1), At(2024, 3, 3, 9)},
          {"December only, first Monday passed", MonthlyWeekDay(0, kMon, kDec), At(2024, 12, 10), At(2025, 12, 1, 9)},
          {"23rd working day skips short months", Monthly(kByWorkDays, 23), At(2024, 2, 1), At(2024, 5, 31, 9)},
          {"23rd working day of a December that has 22", Monthly(kByWorkDays, 23, kDec), At(2024, 12, 1),
           At(2025, 12, 31, 9)},
          {"23rd working day of February never comes", Monthly(kByWorkDays, 23, kFeb), At(2024, 1, 1), TIME_NONE},
          {"24 is the last working day", Monthly(kByWorkDays, 24), At(2024, 2, 1), At(2024, 2, 29, 9)},
          {"24, month ending on a weekend", Monthly(kByWorkDays, 24), At(2024, 3, 1), At(2024, 3, 29, 9)},
          {"working day 0 is the first one", Monthly(kByWorkDays, 0), At(2024, 5, 31, 10), At(2024, 6, 3, 9)},
          {"first weekend day", Monthly(kByWeekends, 1), At(2024, 5, 31, 10), At(2024, 6, 1, 9)},
          {"10th weekend day", Monthly(kByWeekends, 10), At(2024, 4, 1), At(2024, 6, 30, 9)},
          {"last weekend day", Monthly(kByWeekends, 24), At(2024, 6, 1), At(2024, 6, 30, 9)},
      },
      NextOccurrence);
}

TEST(NextOccurrenceTable, YearlyAndOneTime) {
  CheckTable(
      {
          {"29 February from March 2009", Yearly(At(2008, 2, 29, 9)), At(2009, 3, 15), At(2012, 2, 29, 9)},
          {"29 February across 2100", Yearly(At(2008, 2, 29, 9)), At(2097, 1, 1), At(2104, 2, 29, 9)},
          {"29 February after 2096's", Yearly(At(2008, 2, 29, 9)), At(2096, 3, 1), At(2104, 2, 29, 9)},
          {"10 May after its time", Yearly(At(1990, 5, 10, 8)), At(2024, 5, 10, 9), At(2025, 5, 10, 8)},
          {"a start in the year-less 1604", Yearly(At(1604, 7, 4, 8)), At(2026, 7, 4, 9), At(2027, 7, 4, 8)},
          {"29 February 1604 from 2026", Yearly(At(1604, 2, 29, 9)), At(2026, 3, 1), At(2028, 2, 29, 9)},
          {"10 May before its time", Yearly(At(1990, 5, 10, 8)), At(2024, 5, 10, 7), At(2024, 5, 10, 8)},
          {"once, future", Once(At(2024, 6, 1, 12)), At(2024, 5, 1), At(2024, 6, 1, 12)},
          {"once, past", Once(At(2024, 6, 1, 12)), At(2024, 6, 1, 12), TIME_NONE},
          {"next 24 hours, future", Item(4, At(2024, 6, 1, 12)), At(2024, 6, 1, 11), At(2024, 6, 1, 12)},
          {"unknown kind", Item(16, At(2030, 1, 1)), At(2024, 1, 1), TIME_NONE},
          {"start holds no time", Yearly(TIME_NONE), At(2024, 1, 1), TIME_NONE},
      },
      NextOccurrence);
}

TEST(NextOccurrenceTable, NoStartTimeMeansNoRecurringOccurrence) {
  auto noStart = [](ScheduleFields f) {
    f.m_ftStart = TIME_NONE;
    return f;
  };
  CheckTable(
      {
          {"weekly", noStart(Weekly(kMon | kFri, 9)), At(2024, 1, 8), TIME_NONE},
          {"every day", noStart(EveryDay(9)), At(2024, 1, 8), TIME_NONE},
          {"monthly", noStart(Monthly(kByDay, 5)), At(2024, 1, 8), TIME_NONE},
          {"monthly by weekday", noStart(MonthlyWeekDay(0, kMon)), At(2024, 1, 8), TIME_NONE},
          {"yearly", noStart(Yearly(At(1990, 5, 10))), At(2024, 1, 8), TIME_NONE},
          {"beyond no time", [] { auto f = EveryDay(9); f.m_ftStart = ~0ULL; return f; }(), At(2024, 1, 8), TIME_NONE},
      },
      NextOccurrence);
}

// Rules that no masked month can satisfy are answered at once; the answer must
// be the one the full scan of the look-ahead gives, for every rule.
TEST(MonthlyRuleCanMatch, AgreesWithTheFullScan) {
  const std::uint32_t masks[] = {0xFFF, kFeb, kDec, 1u << 3 | 1u << 5 | 1u << 8 | 1u << 10, kFeb | 1u << 3, 0};
  const FileTime nows[] = {At(2024, 1, 1), At(2097, 3, 1)};
  int never = 0;
  for (const std::uint16_t type : {kByDay, kByWorkDays, kByWeekends}) {
    for (std::int32_t day = -40; day <= 40; ++day) {
      for (const std::uint32_t months : masks) {
        const auto item = Monthly(type, day, months);
        const bool canMatch = MonthlyRuleCanMatch(item);
        never += canMatch ? 0 : 1;
        if (canMatch) continue;
        // Day by day through a whole 28-year cycle of calendars: a day found
        // here would be an occurrence the shortcut loses.
        for (int year = 2024; year < 2024 + 28; ++year) {
          for (int month = 1; month <= 12; ++month) {
            if ((months & (1u << (month - 1))) == 0) continue;
            const int d = MonthlyDay(item, year, month, 1);
            EXPECT_FALSE(d >= 1 && d <= platform::DaysInMonthOf(year, month))
                << "type " << type << " day " << day << " months " << months << " in " << year << "-" << month;
          }
        }
        for (const FileTime now : nows) EXPECT_EQ(NextOccurrence(item, now), TIME_NONE);
      }
    }
  }
  EXPECT_GT(never, 100) << "the shortcut is taken";
  // Rules at the edge of what some month allows still occur.
  for (const auto& item : {Monthly(kByWorkDays, 23), Monthly(kByWorkDays, 21, kFeb), Monthly(kByWeekends, 10),
                           Monthly(kByWeekends, 9, kFeb), Monthly(kByDay, 29, kFeb), Monthly(kByDay, -28, kFeb),
                           Monthly(kByDay, -30, 1)}) {
    EXPECT_TRUE(MonthlyRuleCanMatch(item)) << item.m_wMonthlyType << " " << item.m_nMonthDay;
    EXPECT_NE(NextOccurrence(item, At(2024, 1, 1)), TIME_NONE) << item.m_wMonthlyType << " " << item.m_nMonthDay;
  }
}

TEST(NextEventTimeTable, SkipAndSnooze) {
  const FileTime mon0905 = At(2024, 1, 8, 9, 5);
  CheckTable(
      {
          {"past once, not snoozed: its start", Once(At(2024, 1, 1, 8)), mon0905, At(2024, 1, 1, 8)},
          {"past once, snoozed ahead: the snooze", With(Once(At(2024, 1, 1, 8)), 1, 0, At(2024, 1, 8, 9, 10), 1),
           mon0905, At(2024, 1, 8, 9, 10)},
          {"skip without snooze: the one after next", With(Weekly(kMon, 9), 1, 1), At(2024, 1, 7), At(2024, 1, 15, 9)},
          {"skip with pending snooze: the next regular one", With(Weekly(kMon, 9), 1, 1, At(2024, 1, 8, 9, 10), 1),
           mon0905, At(2024, 1, 15, 9)},
          {"snooze before the next occurrence wins", With(Weekly(kMon, 9), 1, 0, At(2024, 1, 8, 9, 10), 1), mon0905,
           At(2024, 1, 8, 9, 10)},
          {"snooze after the next occurrence loses", With(EveryDay(9), 1, 0, At(2024, 1, 10, 9), 1), mon0905,
           At(2024, 1, 9, 9)},
          {"snooze time without counter is ignored", With(Weekly(kMon, 9), 1, 0, At(2024, 1, 8, 9, 10), 0), mon0905,
           At(2024, 1, 15, 9)},
          {"snoozed item keeps its skip mark for later", With(Weekly(kMon, 9), 1, 1, At(2024, 1, 8, 7, 50), 1),
           At(2024, 1, 8, 8), At(2024, 1, 8, 9)},
          {"skipped once: its start", With(Once(At(2024, 2, 1, 8)), 1, 1), mon0905, At(2024, 2, 1, 8)},
          {"nothing ahead: start or snooze, the later", With(Weekly(0, 9), 1, 0, At(2030, 1, 1), 0), mon0905,
           At(2030, 1, 1)},
          {"disabled items still have a time", [] { auto f = EveryDay(9); f.m_bEnabled = 0; return f; }(), mon0905,
           At(2024, 1, 9, 9)},
      },
      NextEventTime);
}

}  // namespace
