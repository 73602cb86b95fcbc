#include <gtest/gtest.h>

#include "TickwellLib/CollectEvents.h"
#include "tests/engine/ItemBuilders.h"

using namespace enginetest;

namespace {

EngineRecord Record(const ScheduleFields& f, std::vector<std::uint8_t> ext = {}) { return EngineRecord{f, std::move(ext)}; }

TEST(CollectEvents, SortsByTimeThenUidAndCountsTheNearest) {
  const FileTime now = At(2024, 1, 8, 8);
  const auto r = CollectEvents({Record(With(EveryDay(9), 7)), Record(With(Weekly(1 << 4, 6), 1)),
                                Record(With(Once(At(2024, 1, 8, 9)), 3), {0xAB, 0xCD}), Record(With(EveryDay(10), 2))},
                               now);
  ASSERT_EQ(r.items.size(), 4u);
  EXPECT_EQ(r.items[0].fields.m_nUID, 3);
  EXPECT_EQ(r.items[1].fields.m_nUID, 7);
  EXPECT_EQ(r.items[2].fields.m_nUID, 2);
  EXPECT_EQ(r.items[3].fields.m_nUID, 1);
  EXPECT_EQ(r.nearest, 2);
  EXPECT_EQ(r.earliest, At(2024, 1, 8, 9));
  EXPECT_EQ(r.items[3].fields.m_ftNext, At(2024, 1, 12, 6));
  EXPECT_EQ(r.items[0].ext, (std::vector<std::uint8_t>{0xAB, 0xCD}));
}

TEST(CollectEvents, LeavesOutDisabledPastAndImpossibleItems) {
  const FileTime now = At(2024, 1, 8, 8);
  auto disabled = With(EveryDay(9), 1);
  disabled.m_bEnabled = 0;
  const auto r = CollectEvents({Record(disabled), Record(With(Once(At(2024, 1, 1)), 2)), Record(With(Weekly(0, 9), 3)),
                                Record(With(Item(16, At(2030, 1, 1)), 4))},
                               now);
  EXPECT_TRUE(r.items.empty());
  EXPECT_EQ(r.nearest, 0);
  EXPECT_EQ(r.earliest, TIME_NONE);
}

TEST(CollectEvents, SnoozeReplacesAPastOccurrenceAndWinsOverALaterOne) {
  const FileTime now = At(2024, 1, 8, 8);
  // Snooze counters and skip marks play no part here.
  const auto r = CollectEvents({Record(With(Once(At(2024, 1, 1)), 1, 1, At(2024, 1, 8, 8, 30), 0)),
                                Record(With(EveryDay(9), 2, 0, At(2024, 1, 8, 8, 45), 0)),
                                Record(With(EveryDay(9), 3, 0, At(2024, 1, 9, 12), 1))},
                               now);
  ASSERT_EQ(r.items.size(), 3u);
  EXPECT_EQ(Show(r.items[0].fields.m_ftNext), Show(At(2024, 1, 8, 8, 30)));
  EXPECT_EQ(Show(r.items[1].fields.m_ftNext), Show(At(2024, 1, 8, 8, 45)));
  EXPECT_EQ(Show(r.items[2].fields.m_ftNext), Show(At(2024, 1, 8, 9)));
  EXPECT_EQ(r.nearest, 1);
}

}  // namespace
