// Item behaviour that does not touch files: expiry, display order, defaults,
// calendar arithmetic.
#include <gtest/gtest.h>

#include "common/store/AddSeconds.h"
#include "common/store/EngineCalls.h"
#include "common/store/Recurrence.h"
#include "common/store/StorageList.h"
#include "common/text/ProgramFolder.h"
#include "tests/support/TempDir.h"

namespace {

using platform::FILETIME_PER_MINUTE;
using platform::FILETIME_PER_HOUR;
using platform::FILETIME_PER_DAY;

constexpr platform::FileTime kDay = 153'000ULL * FILETIME_PER_DAY;  // some midnight

class FixedClock : public ::testing::Test {
 protected:
  FixedClock() { platform::SetClockSource(&m_clock); }
  ~FixedClock() override { platform::SetClockSource(nullptr); }
  platform::FixedClockSource m_clock{kDay + 10 * FILETIME_PER_HOUR + 30 * platform::FILETIME_PER_SECOND};
};

using Item = FixedClock;

TEST_F(Item, DefaultsStartAtTheCurrentMinute) {
  StorageItem item(Monthly, true);
  EXPECT_EQ(item.m_ftStart, kDay + 10 * FILETIME_PER_HOUR);
  EXPECT_EQ(item.m_dwWeekDays, 127u);
  EXPECT_EQ(item.m_bEnabled, 1u);
  EXPECT_EQ(item.m_nUID, 0);
  EXPECT_EQ(item.m_dwMonths, 0xFFFu);
  EXPECT_EQ(item.m_nMonthDay, 1);
  EXPECT_EQ(item.m_dwWeekDay, 1u);
  EXPECT_EQ(item.m_bShowSeconds, 1u);
  // The engine's C interface sees the same fields.
  EXPECT_EQ(item.Fields()->m_dwMonths, 0xFFFu);
}

TEST_F(Item, ExpiryOfOneTimeItems) {
  const platform::FileTime now = m_clock.Now();
  StorageItem once(Once, false);
  once.m_ftStart = now - FILETIME_PER_HOUR;
  EXPECT_TRUE(once.IsExpired());
  once.m_ftSnooze = now + FILETIME_PER_MINUTE;  // snoozed into the future
  EXPECT_FALSE(once.IsExpired());
  once.m_ftSnooze = now - 1;
  EXPECT_TRUE(once.IsExpired());

  StorageItem next(Next24Hours, false);
  next.m_ftStart = now;  // not later than now: not yet expired
  EXPECT_FALSE(next.IsExpired());
  m_clock.Advance(1);
  EXPECT_TRUE(next.IsExpired());

  for (std::uint32_t kind : {Weekly, Monthly, Yearly, EveryDay}) {
    StorageItem recurring(kind, false);
    recurring.m_ftStart = 0;
    EXPECT_FALSE(recurring.IsExpired()) << kind;
  }
}

TEST_F(Item, CompareOrdersKindsThenTimeOfDay) {
  StorageList list;
  auto make = [](std::uint32_t kind, platform::FileTime start) {
    auto item = std::make_unique<StorageItem>(kind, false);
    item->m_ftStart = start;
    return item;
  };
  const auto early = make(Weekly, kDay + 9 * FILETIME_PER_HOUR + 59 * FILETIME_PER_MINUTE);
  const auto late = make(Weekly, kDay - 5 * FILETIME_PER_DAY + 10 * FILETIME_PER_HOUR);  // date ignored
  const auto same = make(Weekly, kDay + 7 * FILETIME_PER_DAY + 10 * FILETIME_PER_HOUR + 30);
  EXPECT_EQ(list.Compare(*early, *late), -1);
  EXPECT_EQ(list.Compare(*late, *early), 1);
  EXPECT_EQ(list.Compare(*late, *same), 0);

  // Next24Hours < Once < EveryDay < Weekly < Monthly < Yearly < unknown kinds.
  const std::uint32_t order[] = {Next24Hours, Once, EveryDay, Weekly, Monthly, Yearly, 16, 128};
  for (std::size_t i = 0; i + 1 < std::size(order); ++i) {
    const auto a = make(order[i], kDay + 23 * FILETIME_PER_HOUR);
    const auto b = make(order[i + 1], kDay);
    EXPECT_EQ(list.Compare(*a, *b), -1) << order[i];
    EXPECT_EQ(list.Compare(*b, *a), 1) << order[i];
  }
}

TEST(AddSecondsTest, CarriesAcrossCalendarBoundaries) {
  platform::SystemTime t{2023, 12, 0, 31, 23, 59, 30, 250};
  ASSERT_EQ(AddSeconds(t, 45), 0u);
  EXPECT_EQ(t.wYear, 2024);
  EXPECT_EQ(t.wMonth, 1);
  EXPECT_EQ(t.wDay, 1);
  EXPECT_EQ(t.wMinute, 0);
  EXPECT_EQ(t.wSecond, 15);
  EXPECT_EQ(t.wMilliseconds, 250);
  EXPECT_EQ(t.wDayOfWeek, 1);  // a Monday

  ASSERT_EQ(AddSeconds(t, -86400L * 306), 0u);  // back over 29 February
  EXPECT_EQ(t.wYear, 2023);
  EXPECT_EQ(t.wMonth, 3);
  EXPECT_EQ(t.wDay, 1);
}

TEST(AddSecondsTest, FailuresLeaveTheTimeAlone) {
  platform::SystemTime invalid{2023, 2, 0, 29, 0, 0, 0, 0};
  EXPECT_EQ(AddSeconds(invalid, 1), ADD_SECONDS_FAILED);
  EXPECT_EQ(invalid.wDay, 29);

  platform::SystemTime first{1601, 1, 0, 1, 0, 0, 0, 0};
  EXPECT_EQ(AddSeconds(first, -1), ADD_SECONDS_FAILED);
  EXPECT_EQ(first.wYear, 1601);
  EXPECT_EQ(AddSeconds(first, INT64_MAX), ADD_SECONDS_FAILED);
  EXPECT_EQ(AddSeconds(first, INT64_MIN), ADD_SECONDS_FAILED);
}

namespace enginecalls {

int g_calculations = 0;
std::int32_t CountCalculation() { return ++g_calculations; }
// Pretends that every item's next occurrence is a week after its start.
std::uint64_t WeekAfterStart(const ScheduleFields* item) { return item->m_ftStart + 7 * FILETIME_PER_DAY; }

TEST(EngineCalls, BoundEngineIsAskedAndUnboundOneIsNot) {
  StorageItem soon(Once, false), later(Once, false), yearly(Yearly, false);
  soon.m_ftStart = kDay;
  later.m_ftStart = kDay + FILETIME_PER_MINUTE;
  yearly.m_ftStart = kDay;

  RequestCalculation();
  EXPECT_EQ(g_calculations, 0);
  EXPECT_EQ(CompareByNextTime(soon, later), -1);

  BindEngineCalls(&CountCalculation, &WeekAfterStart);
  RequestCalculation();
  EXPECT_EQ(g_calculations, 1);
  EXPECT_EQ(CompareByNextTime(later, soon), 1);
  EXPECT_EQ(CompareByNextTime(soon, yearly), 0);
  BindEngineCalls(nullptr, nullptr);
}

}  // namespace enginecalls

TEST(StorageListPath, DefaultIsStorageDatInTheDataFolder) {
  const testsupport::TestEnvironment env;
  SetProgramFolder(u"/opt/natalo");
  EXPECT_EQ(StorageList().m_szPath, env.ProgramFolder() + "storage.dat");
  EXPECT_EQ(StorageList("/elsewhere/s.dat").m_szPath, "/elsewhere/s.dat");
  SetProgramFolder({});
}

}  // namespace
