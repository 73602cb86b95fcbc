#include <gtest/gtest.h>

#include <algorithm>

#include "TickwellLib/DueKeySort.h"
#include "TickwellLib/EngineEvents.h"
#include "tests/engine/ItemBuilders.h"
#include "tests/engine/StorageBytes.h"

using namespace enginetest;

namespace {

// The active events of a storage held in memory.
class Active {
 public:
  Active(const StorageBytes& bytes, FileTime now) : m_bytes(bytes.Bytes()) {
    MemoryByteSource source(reinterpret_cast<const std::uint8_t*>(m_bytes.data()), m_bytes.size());
    accepted = BuildActiveEvents(source, now, events);
    accepted = ScanDueEvents(source, now, due) && accepted;
  }
  ~Active() { ReleaseActiveEventArray(events.count, events.items); }
  const EngineItem& operator[](int i) const { return *events.items[i]; }

  std::string m_bytes;
  bool accepted = false;
  ActiveEventArray events;
  DueEvents due;
};

TEST(CollectEvents, SortsByTimeThenUidAndCountsTheNearest) {
  const Active r(StorageBytes()
                     .Add(With(EveryDay(9), 7), "")
                     .Add(With(Weekly(1 << 4, 6), 1))
                     .Add(With(Once(At(2024, 1, 8, 9)), 3), "\xAB\xCD")
                     .Add(With(EveryDay(10), 2)),
                 At(2024, 1, 8, 8));
  ASSERT_TRUE(r.accepted);
  ASSERT_EQ(r.events.count, 4);
  EXPECT_EQ(r[0].fields.m_nUID, 3);
  EXPECT_EQ(r[1].fields.m_nUID, 7);
  EXPECT_EQ(r[2].fields.m_nUID, 2);
  EXPECT_EQ(r[3].fields.m_nUID, 1);
  EXPECT_EQ(r.events.nearest, 2);
  EXPECT_EQ(r.due.earliest, At(2024, 1, 8, 9));
  EXPECT_EQ(r.due.nearestUids, (std::vector<std::int32_t>{3, 7}));
  EXPECT_EQ(r.due.total, 4);
  EXPECT_EQ(r[3].fields.m_ftNext, At(2024, 1, 12, 6));
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(r[0].m_pExtData), r[0].m_wExtLength), "\xAB\xCD");
  EXPECT_EQ(r[1].m_pExtData, nullptr) << "an empty block is no block";
  EXPECT_EQ(r[1].m_wExtLength, 0);
}

TEST(CollectEvents, LeavesOutDisabledPastAndImpossibleItems) {
  auto disabled = With(EveryDay(9), 1);
  disabled.m_bEnabled = 0;
  const Active r(StorageBytes()
                     .Add(disabled)
                     .Add(With(Once(At(2024, 1, 1)), 2))
                     .Add(With(Weekly(0, 9), 3))
                     .Add(With(Item(16, At(2030, 1, 1)), 4)),
                 At(2024, 1, 8, 8));
  ASSERT_TRUE(r.accepted);
  EXPECT_EQ(r.events.count, 0);
  EXPECT_EQ(r.events.items, nullptr);
  EXPECT_EQ(r.due.earliest, TIME_NONE);
  EXPECT_EQ(r.due.enabled, 3);
  EXPECT_EQ(r.due.active, 0);
}

TEST(CollectEvents, SnoozeReplacesAPastOccurrenceAndWinsOverALaterOne) {
  // Snooze counters play no part here.
  const Active r(StorageBytes()
                     .Add(With(Once(At(2024, 1, 1)), 1, 0, At(2024, 1, 8, 8, 30), 0))
                     .Add(With(EveryDay(9), 2, 0, At(2024, 1, 8, 8, 45), 0))
                     .Add(With(EveryDay(9), 3, 0, At(2024, 1, 9, 12), 1)),
                 At(2024, 1, 8, 8));
  ASSERT_EQ(r.events.count, 3);
  EXPECT_EQ(Show(r[0].fields.m_ftNext), Show(At(2024, 1, 8, 8, 30)));
  EXPECT_EQ(Show(r[1].fields.m_ftNext), Show(At(2024, 1, 8, 8, 45)));
  EXPECT_EQ(Show(r[2].fields.m_ftNext), Show(At(2024, 1, 8, 9)));
  EXPECT_EQ(r.events.nearest, 1);
}

// Large sets take the radix sort: times with few distinct values, no time,
// UIDs in every digit and of either sign, and keys equal in time and UID, which
// must keep their order in the file.
TEST(CollectEvents, KeySortOrdersByTimeThenUidThenFileOrder) {
  for (const std::uint32_t uidSpread : {1u, 1000u, 0xFFFFFFFFu}) {
    std::vector<DueKey> keys;
    for (std::uint32_t i = 0; i < 3000; ++i) {
      const FileTime next = i % 7 == 0 ? TIME_NONE : At(2024, 1 + i % 12, 1 + i % 28, 9) + (i % 3);
      keys.push_back({next, static_cast<std::int32_t>((i * 2654435761u) % uidSpread), i});
    }
    std::vector<unsigned char> space(DueKeySortSpace(keys.size()) + sizeof(DueKey));
    std::vector<DueKey> expected = keys;
    std::stable_sort(expected.begin(), expected.end(),
                     [](const DueKey& a, const DueKey& b) { return a.next != b.next ? a.next < b.next : a.uid < b.uid; });
    const DueKey* sorted = SortDueKeys(keys.data(), keys.size(), space.data());
    for (std::size_t i = 0; i < keys.size(); ++i) {
      ASSERT_EQ(sorted[i].ordinal, expected[i].ordinal) << "place " << i << ", UIDs below " << uidSpread;
    }
  }
}

}  // namespace
