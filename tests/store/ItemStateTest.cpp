// In-place state writes, and the locked load and save.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "common/store/KnownRecords.h"
#include "common/store/StorageMutexName.h"
#include "platform/sync/NamedMutex.h"
#include "platform/text/Utf.h"
#include "tests/store/FileBytes.h"
#include "tests/store/StoreFixture.h"

using storetest::ExtendedItem;
using storetest::ExtendedList;
using storetest::FileBytes;

namespace {

constexpr std::uint64_t kStart = 133'000'000'000'000'000ULL;

class ItemState : public storetest::StoreFixture {};

TEST_F(ItemState, PatchesOnlyTheStateBlockOfTheMatchingRecord) {
  const FileBytes prefix = FileBytes()
                               .Header(0xCE09, 0x0103, 3)
                               .Record(Monthly, kStart, 4)
                               .MonthlyGroup(AllMonths, ByDay, 1, 0, 1)
                               .U16(2).U8(0xAA).U8(0xBB)
                               .U32(Yearly).U64(kStart).U8(127).U8(1).U32(6);
  const std::string tail = FileBytes().U16(1).U8(0xCC).Record(Yearly, kStart, 7).U16(0).Str();
  ASSERT_TRUE(SetFileContent(prefix.Str() + FileBytes().U16(0).U64(0).U32(0).U32(0).Str() + tail));

  // The caller's copy of the entry: same UID, new state, other fields changed too.
  ExtendedList list(StoragePath());
  ExtendedItem mine;
  mine.m_nUID = 6;
  mine.m_ftStart = 1;
  mine.m_wSkipNext = 1;
  mine.m_ftSnooze = 0x0102030405060708ULL;
  mine.m_dwAutoSnoozeCounter = 3;
  mine.m_dwSnoozeCounter = 4;
  ASSERT_TRUE(list.WriteItemState(mine));

  const std::string state = FileBytes().U16(1).U64(0x0102030405060708ULL).U32(3).U32(4).Str();
  EXPECT_EQ(FileContent(), prefix.Str() + state + tail);
}

TEST_F(ItemState, ItemGoneFromTheFileIsNotWritten) {
  const std::string bytes = FileBytes().Header(0xCE00, 0x0103, 1).Record(Once, kStart, 1).Str();
  ASSERT_TRUE(SetFileContent(bytes));
  StorageList list(StoragePath());
  auto gone = Item(Once, kStart, 2);
  gone->m_dwSnoozeCounter = 1;
  EXPECT_FALSE(list.WriteItemState(*gone));
  EXPECT_EQ(FileContent(), bytes);

  // Nor is anything written into a file that this list does not accept or that is missing.
  ExtendedList other(StoragePath());
  EXPECT_FALSE(other.WriteItemState(*Item(Once, kStart, 1)));
  EXPECT_EQ(FileContent(), bytes);
  StorageList missing(m_env.ProgramFolder() + "none.dat");
  EXPECT_FALSE(missing.WriteItemState(*Item(Once, kStart, 1)));
}

TEST_F(ItemState, LockedOperationsWaitForTheStorageMutex) {
  StorageList list(StoragePath());
  list.Add(Item(Once, kStart));
  ASSERT_TRUE(list.SaveStorageLocked());

  std::atomic<bool> held{false}, done{false};
  std::thread holder([&] {
    auto mutex = platform::NamedMutex::Create(StorageMutexName(platform::FromUtf8(StoragePath())));
    ASSERT_TRUE(mutex);
    platform::NamedMutexLock lock(*mutex, 5000);
    held = lock.Acquired();
    while (!done) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  });
  while (!held) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  StorageList other(StoragePath());
  EXPECT_FALSE(other.LoadStorageLocked(100));
  EXPECT_FALSE(list.SaveStorageLocked(100));
  done = true;
  holder.join();

  EXPECT_TRUE(other.LoadStorageLocked(1000));
  EXPECT_EQ(other.Count(), 1u);
}

}  // namespace

TEST(KnownRecords, RemembersTheLastStateOfEachUidAndForgetsOnce) {
  // Out of order, one UID twice (the later one counts), and a star without a UID.
  const std::int32_t uids[] = {7, 3, 0, 7, 5};
  std::vector<std::unique_ptr<StorageItem>> items;
  for (std::size_t i = 0; i < std::size(uids); ++i) {
    items.push_back(std::make_unique<StorageItem>(0, false));
    items[i]->m_nUID = uids[i];
    items[i]->m_wSkipNext = static_cast<std::uint16_t>(i);
    items[i]->m_ftSnooze = 1000 + i;
  }
  KnownRecords known;
  known.Remember(items.size(), [&](std::size_t i) { return items[i].get(); });
  EXPECT_EQ(known.Find(7), KnownRecordState::Of(*items[3]));
  EXPECT_EQ(known.Find(3), KnownRecordState::Of(*items[1]));
  EXPECT_FALSE(known.Contains(0));
  EXPECT_FALSE(known.Contains(4));

  const KnownRecordState later{9, 99, 1, 2};
  known.Set(4, later);  // seen after the load
  known.Set(5, later);  // replaced in place
  EXPECT_EQ(known.Find(4), later);
  EXPECT_EQ(known.Find(5), later);
  for (const std::int32_t uid : {3, 4}) {
    EXPECT_TRUE(known.Forget(uid)) << uid;
    EXPECT_FALSE(known.Forget(uid)) << uid;
    EXPECT_FALSE(known.Contains(uid)) << uid;
  }
  known.Set(3, later);  // seen again after it was forgotten
  EXPECT_EQ(known.Find(3), later);
  known.Remember(0, [&](std::size_t i) { return items[i].get(); });
  EXPECT_FALSE(known.Contains(7));
}
