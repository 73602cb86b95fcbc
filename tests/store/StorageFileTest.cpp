// storage.dat as written and read by StorageList: layout, header checks, record
// loop and UID assignment.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>

#include "platform/file/FileIo.h"
#include "tests/store/FileBytes.h"
#include "tests/store/StoreFixture.h"

using storetest::ExtendedItem;
using storetest::ExtendedList;
using storetest::FileBytes;

namespace {

constexpr std::uint64_t kStart = 133'000'000'000'000'000ULL;

class StorageFile : public storetest::StoreFixture {};

TEST_F(StorageFile, EmptyListWritesHeaderOnly) {
  StorageList list(StoragePath());
  ASSERT_TRUE(list.Save());
  EXPECT_EQ(FileContent(), FileBytes().Header(0xCE00, 0x0103, 1).Str());
  EXPECT_EQ(FileContent().size(), 8u);

  StorageList loaded(StoragePath());
  EXPECT_TRUE(loaded.Load());
  EXPECT_TRUE(loaded.IsEmpty());
}

TEST_F(StorageFile, RecordsAreWrittenFieldByField) {
  StorageList list(StoragePath());
  auto weekly = Item(Weekly, kStart, 3);
  weekly->m_dwWeekDays = 0x1234;  // only the low byte is stored
  weekly->m_bEnabled = 0;
  weekly->m_wSkipNext = 1;
  weekly->m_ftSnooze = kStart + 600;
  weekly->m_dwAutoSnoozeCounter = 2;
  weekly->m_dwSnoozeCounter = 5;
  list.Add(std::move(weekly));
  auto monthly = Item(Monthly, kStart + 1, 4);
  monthly->m_dwMonths = 0x841;
  monthly->m_wMonthlyType = ByWeekDay;
  monthly->m_nMonthDay = -2;
  monthly->m_dwWeekOfMonth = 3;
  monthly->m_dwWeekDay = FridayBit;
  list.Add(std::move(monthly));
  list.Add(Item(Once, kStart + 2, 9));
  ASSERT_TRUE(list.Save());

  const std::string expected = FileBytes()
                                   .Header(0xCE00, 0x0103, 1)
                                   .Record(Weekly, kStart, 3, 0x34, 0, 1, kStart + 600, 2, 5)
                                   .Record(Monthly, kStart + 1, 4)
                                   .MonthlyGroup(0x841, ByWeekDay, -2, 3, FridayBit)
                                   .Record(Once, kStart + 2, 9)
                                   .Str();
  EXPECT_EQ(FileContent(), expected);
  EXPECT_EQ(expected.size(), 8 + 36 + 54 + 36u);

  StorageList loaded(StoragePath());
  ASSERT_TRUE(loaded.Load());
  ASSERT_EQ(loaded.Count(), 3u);
  const StorageItem& w = *loaded.FindByUID(3);
  EXPECT_EQ(w.m_dwWeekDays, 0x34u);
  EXPECT_EQ(w.m_bEnabled, 0u);
  EXPECT_EQ(w.m_ftSnooze, kStart + 600);
  EXPECT_EQ(w.m_dwSnoozeCounter, 5u);
  EXPECT_EQ(w.m_dwStatePos, 8u + 18);
  const StorageItem& m = *loaded.FindByUID(4);
  EXPECT_EQ(m.m_dwMonths, 0x841u);
  EXPECT_EQ(m.m_wMonthlyType, ByWeekDay);
  EXPECT_EQ(m.m_nMonthDay, -2);
  EXPECT_EQ(m.m_dwWeekDay, static_cast<std::uint32_t>(FridayBit));
  EXPECT_EQ(loaded.FindByUID(9)->m_dwStatePos, 8u + 36 + 54 + 18);
}

TEST_F(StorageFile, VersionFieldOnlyWhenNotOldVersion) {
  StorageList list(StoragePath());
  list.m_wVersion = 0x0101;
  list.Add(Item(Once, kStart, 1));
  ASSERT_TRUE(list.Save());
  EXPECT_EQ(FileContent(), FileBytes().U16(0xCE00).U32(1).Record(Once, kStart, 1).Str());

  StorageList loaded(StoragePath());
  loaded.m_wVersion = 0x0101;
  ASSERT_TRUE(loaded.Load());
  EXPECT_EQ(loaded.Count(), 1u);
  EXPECT_EQ(loaded.begin()->m_dwStatePos, 6u + 18);
}

TEST_F(StorageFile, HeaderChecks) {
  const std::string record = FileBytes().Record(Once, kStart, 1).Str();
  using enum StorageRefusal;
  struct Case {
    const char* what;
    std::string bytes;
    bool accepted;
    StorageRefusal why;
  } cases[] = {
      {"revision with other low word", FileBytes().Header(0xCE00, 0x0103, 7).Raw(record).Str(), true, None},
      {"revision with other high word", FileBytes().Header(0xCE00, 0x0103, 0x00010003).Raw(record).Str(), false,
       OtherLayout},
      {"date-entry magic", FileBytes().Header(0xCE09, 0x0103, 1).Raw(record).Str(), false, Foreign},
      {"other version", FileBytes().Header(0xCE00, 0x0102, 1).Raw(record).Str(), false, OtherLayout},
      {"short header", FileBytes().U16(0xCE00).U16(0x0103).U16(1).Str(), false, CutShort},
      {"one byte", std::string(1, '\0'), false, CutShort},
      {"empty file", "", false, Empty},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(SetFileContent(c.bytes));
    StorageList list(StoragePath());
    list.m_dwRevision = 3;
    auto kept = list.Add(Item(Weekly, kStart, 42));
    EXPECT_EQ(list.Load(), c.accepted);
    EXPECT_EQ(list.m_eRefusal, c.why);
    if (c.accepted) {
      EXPECT_EQ(UIDs(list), std::vector<std::int32_t>{1});
    } else {
      // A rejected file leaves the list as it was.
      ASSERT_EQ(list.Count(), 1u);
      EXPECT_EQ(&*list.begin(), kept);
    }
  }
}

TEST_F(StorageFile, MissingFileIsNotLoaded) {
  StorageList list(StoragePath());
  EXPECT_FALSE(list.Load());
  EXPECT_TRUE(list.IsEmpty());
  EXPECT_EQ(list.m_eRefusal, StorageRefusal::Missing);
}

// A stream socket whose peer closed with unread data fails the next read
// with ECONNRESET once the data sent before is read: a read error exactly
// where the reader's buffer, filled with the header and two records, ends.
TEST_F(StorageFile, ReadErrorAtARecordBoundaryFailsTheLoad) {
  const std::string bytes =
      FileBytes().Header(0xCE00, 0x0103, 1).Record(Once, kStart, 1).Record(Once, kStart, 2).Str();
  const auto failingReader = [&bytes](int ends[2]) {
    if (socketpair(AF_UNIX, SOCK_STREAM, 0, ends) != 0) return false;
    const bool sent = platform::WriteAll(ends[0], bytes.data(), bytes.size()) && write(ends[1], "x", 1) == 1;
    close(ends[0]);
    return sent;
  };
  int ends[2];
  ASSERT_TRUE(failingReader(ends));
  {
    BinaryReader reader(ends[1], bytes.size());
    StorageList list(StoragePath());
    const StorageItem* kept = list.Add(Item(Weekly, kStart, 42));
    EXPECT_FALSE(list.LoadFrom(reader));
    EXPECT_TRUE(reader.Failed());
    EXPECT_EQ(list.m_eRefusal, StorageRefusal::ReadError);
    ASSERT_EQ(list.Count(), 1u);  // the list stays as it was
    EXPECT_EQ(&*list.begin(), kept);
  }
  close(ends[1]);
  ASSERT_TRUE(failingReader(ends));
  {
    BinaryReader reader(ends[1], bytes.size());
    StorageList list(StoragePath());
    int visited = 0;
    StorageRefusal why = StorageRefusal::None;
    EXPECT_FALSE(list.ScanFrom(reader, [&visited](std::unique_ptr<StorageItem>&) { ++visited; }, nullptr, &why));
    EXPECT_EQ(why, StorageRefusal::ReadError);
    EXPECT_EQ(visited, 2);
  }
  close(ends[1]);
}

TEST_F(StorageFile, LoadingRaisesNextUIDAboveEveryLoadedUID) {
  ASSERT_TRUE(SetFileContent(FileBytes()
                                 .Header(0xCE00, 0x0103, 1)
                                 .Record(Once, kStart, 5)
                                 .Record(Once, kStart, 2)
                                 .Record(Once, kStart, 9)
                                 .Str()));
  StorageList list(StoragePath());
  ASSERT_TRUE(list.Load());
  EXPECT_EQ(UIDs(list), (std::vector<std::int32_t>{5, 2, 9}));
  EXPECT_EQ(list.m_nNextUID, 11);
  EXPECT_EQ(list.Add(Item(Once, kStart))->m_nUID, 11);
}

TEST_F(StorageFile, RecordsWithoutUIDGetOneWhenLoaded) {
  const struct {
    std::vector<std::int32_t> stored, loaded;
  } cases[] = {
      {{0, -4}, {1, 2}},
      // A UID read before the unnumbered record counts, one read after it is never handed out.
      {{1, 0, 2}, {1, 3, 2}},
  };
  for (const auto& c : cases) {
    FileBytes file;
    file.Header(0xCE00, 0x0103, 1);
    for (const std::int32_t uid : c.stored) file.Record(Once, kStart, uid);
    ASSERT_TRUE(SetFileContent(file.Str()));
    StorageList list(StoragePath());
    ASSERT_TRUE(list.Load());
    EXPECT_EQ(UIDs(list), c.loaded);
    EXPECT_GT(list.m_nNextUID, *std::max_element(c.loaded.begin(), c.loaded.end()));
    std::vector<std::int32_t> scanned;
    ASSERT_TRUE(list.ScanFile([&](std::unique_ptr<StorageItem>& item) { scanned.push_back(item->m_nUID); }));
    EXPECT_EQ(scanned, c.loaded);
  }
}

TEST_F(StorageFile, AddAssignsOnlyMissingUIDsButAlwaysCounts) {
  StorageList list(StoragePath());
  list.m_nNextUID = 4;
  EXPECT_EQ(list.Add(Item(Once, kStart, 0))->m_nUID, 4);
  EXPECT_EQ(list.Add(Item(Once, kStart, 7))->m_nUID, 7);
  EXPECT_EQ(list.m_nNextUID, 6);
  EXPECT_EQ(list.Add(Item(Once, kStart, -1))->m_nUID, 6);
}

TEST_F(StorageFile, UIDsStayUniqueAtTheTopOfTheRange) {
  constexpr std::int32_t kMax = 0x7FFFFFFF;
  ASSERT_TRUE(SetFileContent(
      FileBytes().Header(0xCE00, 0x0103, 1).Record(Once, kStart, kMax).Record(Once, kStart, 1).Str()));
  StorageList list(StoragePath());
  ASSERT_TRUE(list.Load());
  EXPECT_EQ(list.m_nNextUID, kMax);
  EXPECT_EQ(list.Add(Item(Once, kStart))->m_nUID, 2);
  EXPECT_EQ(list.Add(Item(Once, kStart))->m_nUID, 3);
}

TEST_F(StorageFile, ChangingKindToAndFromMonthlyRewritesTheFile) {
  StorageList list(StoragePath());
  StorageItem* a = list.Add(Item(Weekly, kStart, 1));
  StorageItem* b = list.Add(Item(Monthly, kStart, 2));
  list.Add(Item(Once, kStart, 3));
  ASSERT_TRUE(list.Save());
  const auto before = FileContent().size();

  a->m_dwKind = Monthly;
  a->m_nMonthDay = 0;
  b->m_dwKind = Yearly;
  ASSERT_TRUE(list.Save());
  EXPECT_EQ(FileContent().size(), before);

  StorageList loaded(StoragePath());
  ASSERT_TRUE(loaded.Load());
  ASSERT_EQ(UIDs(loaded), (std::vector<std::int32_t>{1, 2, 3}));
  EXPECT_EQ(loaded.FindByUID(1)->m_dwKind, static_cast<std::uint32_t>(Monthly));
  EXPECT_EQ(loaded.FindByUID(1)->m_nMonthDay, 0);
  EXPECT_EQ(loaded.FindByUID(2)->m_dwKind, static_cast<std::uint32_t>(Yearly));
  EXPECT_EQ(loaded.FindByUID(3)->m_dwKind, static_cast<std::uint32_t>(Once));
  EXPECT_EQ(loaded.FindByUID(3)->m_dwStatePos, 8u + 54 + 36 + 18);
}

TEST_F(StorageFile, CutFileKeepsEveryCompleteRecord) {
  const std::string full = FileBytes()
                               .Header(0xCE00, 0x0103, 1)
                               .Record(Once, kStart, 1)
                               .Record(Monthly, kStart, 2)
                               .MonthlyGroup(AllMonths, ByDay, 15, 0, 1)
                               .Str();
  // Cut inside the kind, inside the base record, inside the monthly group, and
  // one byte before the end.
  for (std::size_t cut : {8u + 36 + 2, 8u + 36 + 20, 8u + 36 + 40, static_cast<unsigned>(full.size()) - 1}) {
    SCOPED_TRACE(cut);
    ASSERT_TRUE(SetFileContent(full.substr(0, cut)));
    StorageList list(StoragePath());
    ASSERT_TRUE(list.Load());
    EXPECT_EQ(UIDs(list), std::vector<std::int32_t>{1});
  }
}

TEST_F(StorageFile, ExtensionBlocksFollowTheBaseRecord) {
  ExtendedList list(StoragePath());
  auto item = std::make_unique<ExtendedItem>();
  item->m_ftStart = kStart;
  item->m_nUID = 8;
  item->m_ext = {1, 2, 3};
  list.Add(std::move(item));
  ASSERT_TRUE(list.Save());
  EXPECT_EQ(FileContent(),
            FileBytes().Header(0xCE09, 0x0103, 3).Record(Yearly, kStart, 8).U16(3).U8(1).U8(2).U8(3).Str());

  ExtendedList loaded(StoragePath());
  ASSERT_TRUE(loaded.Load());
  ASSERT_EQ(loaded.Count(), 1u);
  EXPECT_EQ(static_cast<ExtendedItem&>(*loaded.begin()).m_ext, (std::vector<std::uint8_t>{1, 2, 3}));
  // The plain list does not read date-entry files.
  StorageList plain(StoragePath());
  EXPECT_FALSE(plain.Load());
}

TEST_F(StorageFile, ExtensionBlockTooLargeFailsTheSave) {
  ASSERT_TRUE(StorageList(StoragePath()).Save());
  const std::string old = FileContent();
  ExtendedList list(StoragePath());
  auto item = std::make_unique<ExtendedItem>();
  item->m_ext.assign(0x10000, 7);
  list.Add(std::move(item));
  EXPECT_FALSE(list.Save());
  EXPECT_EQ(FileContent(), old);
}

TEST_F(StorageFile, RemoveAndClearDestroyItems) {
  StorageList list(StoragePath());
  StorageItem* a = list.Add(Item(Once, kStart));
  list.Add(Item(Once, kStart));
  StorageItem* c = list.Add(Item(Once, kStart));
  EXPECT_TRUE(list.Remove(a));
  EXPECT_FALSE(list.Remove(a));
  EXPECT_EQ(UIDs(list), (std::vector<std::int32_t>{2, 3}));
  EXPECT_EQ(list.FindByUID(3), c);
  list.Clear();
  EXPECT_TRUE(list.IsEmpty());
  EXPECT_EQ(list.m_nNextUID, 4);  // ids are not reused
}

}  // namespace
