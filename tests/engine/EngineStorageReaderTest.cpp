#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <cstring>
#include <tuple>
#include <filesystem>
#include <future>

#include "TickwellLib/RecordStream.h"
#include "tests/engine/ItemBuilders.h"
#include "tests/engine/StorageBytes.h"
#include "tests/support/TempDir.h"

using namespace enginetest;

namespace {

struct Record {
  ScheduleFields fields;
  std::string ext;
};

bool ReadSource(const ByteSource& source, std::vector<Record>& out) {
  out.clear();
  RecordStream records(source);
  if (!records.ReadHeader()) return false;
  RecordView view;
  while (records.Next(view))
    out.push_back({view.fields, std::string(reinterpret_cast<const char*>(view.ext), view.extLength)});
  return true;
}

bool ReadBytes(const std::string& bytes, std::vector<Record>& out) {
  MemoryByteSource source(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  return ReadSource(source, out);
}

ScheduleFields SampleMonthly() {
  auto f = With(MonthlyWeekDay(3, 16, 0x0A5, 7), 42, 1, At(2024, 2, 3, 4, 5), 2);
  f.m_dwAutoSnoozeCounter = 9;
  f.m_nMonthDay = -2;
  f.m_bEnabled = 0;
  return f;
}

TEST(EngineStorageReader, AcceptsBothMagicsAndOnlyItsVersionAndRevisionRange) {
  std::vector<Record> items;
  EXPECT_TRUE(ReadBytes(StorageBytes(0xCE00, 0x0103, 1).Bytes(), items));
  EXPECT_TRUE(ReadBytes(StorageBytes(0xCE09, 0x0103, 3).Bytes(), items));
  EXPECT_TRUE(ReadBytes(StorageBytes(0x1234, 0x0103, 0xFFFF).Bytes(), items));
  EXPECT_FALSE(ReadBytes(StorageBytes(0xCE09, 0x0101, 3).Bytes(), items));
  EXPECT_FALSE(ReadBytes(StorageBytes(0xCE09, 0x0103, 0x10003).Bytes(), items));
  for (std::size_t n = 0; n < 8; ++n) {
    EXPECT_FALSE(ReadBytes(StorageBytes().Bytes().substr(0, n), items)) << n;
  }
  EXPECT_FALSE(ReadBytes("Just some text that is not a storage file.", items));
  EXPECT_TRUE(items.empty());
}

TEST(EngineStorageReader, ReadsEveryFieldAndKeepsTheExtensionRaw) {
  const auto weekly = With(Weekly(0x15, 6, 30), 7, 0, 0, 0);
  const std::string ext("\x00\x01\xFF name", 8);
  std::vector<Record> items;
  ASSERT_TRUE(ReadBytes(StorageBytes().Add(SampleMonthly(), ext).Add(weekly, "").Bytes(), items));
  ASSERT_EQ(items.size(), 2u);
  const auto& m = items[0].fields;
  EXPECT_EQ(m.m_dwKind, 8u);
  EXPECT_EQ(m.m_ftStart, SampleMonthly().m_ftStart);
  EXPECT_EQ(m.m_bEnabled, 0u);
  EXPECT_EQ(m.m_nUID, 42);
  EXPECT_EQ(m.m_wSkipNext, 1);
  EXPECT_EQ(m.m_ftSnooze, At(2024, 2, 3, 4, 5));
  EXPECT_EQ(m.m_dwAutoSnoozeCounter, 9u);
  EXPECT_EQ(m.m_dwSnoozeCounter, 2u);
  EXPECT_EQ(m.m_dwMonths, 0x0A5u);
  EXPECT_EQ(m.m_wMonthlyType, 1);
  EXPECT_EQ(m.m_nMonthDay, -2);
  EXPECT_EQ(m.m_dwWeekOfMonth, 3u);
  EXPECT_EQ(m.m_dwWeekDay, 16u);
  EXPECT_EQ(items[0].ext, ext);
  const auto& w = items[1].fields;
  EXPECT_EQ(w.m_dwWeekDays, 0x15u);
  EXPECT_EQ(w.m_nUID, 7);
  EXPECT_EQ(w.m_dwMonths, 0xFFFu) << "a record without the monthly group keeps the defaults";
  EXPECT_TRUE(items[1].ext.empty());
}

TEST(EngineStorageReader, ARecordCutAnywhereEndsTheLoadKeepingTheOnesBefore) {
  const std::string first = StorageBytes().Add(With(EveryDay(9), 1)).Bytes();
  const std::string full = StorageBytes().Add(With(EveryDay(9), 1)).Add(SampleMonthly(), std::string(300, 'x')).Bytes();
  for (std::size_t cut = first.size(); cut < full.size(); ++cut) {
    std::vector<Record> items;
    ASSERT_TRUE(ReadBytes(full.substr(0, cut), items));
    ASSERT_EQ(items.size(), 1u) << "cut at " << cut;
  }
  std::vector<Record> items;
  ASSERT_TRUE(ReadBytes(full, items));
  EXPECT_EQ(items.size(), 2u);
}

// Data whose reads fail with an error from an offset on.
class FailingByteSource final : public ByteSource {
 public:
  FailingByteSource(const std::string& bytes, std::uint64_t failAt) : m_bytes(bytes), m_failAt(failAt) {}
  std::size_t ReadAt(std::uint64_t offset, void* dst, std::size_t size) const override {
    const std::uint64_t end = std::min<std::uint64_t>(m_failAt, m_bytes.size());
    if (offset >= end) {
      m_failed = offset < m_bytes.size();
      return 0;
    }
    const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(size, end - offset));
    std::memcpy(dst, m_bytes.data() + offset, n);
    return n;
  }
  std::uint64_t Size() const override { return m_bytes.size(); }
  bool Failed() const override { return m_failed; }

 private:
  const std::string& m_bytes;
  std::uint64_t m_failAt;
  mutable bool m_failed = false;
};

TEST(EngineStorageReader, AReadErrorIsToldFromTheEndOfTheData) {
  const std::string two = StorageBytes().Add(With(EveryDay(9), 1)).Add(With(EveryDay(10), 2)).Bytes();
  const std::string five = StorageBytes()
                               .Add(With(EveryDay(9), 1))
                               .Add(With(EveryDay(10), 2))
                               .Add(With(EveryDay(11), 3))
                               .Add(With(EveryDay(12), 4))
                               .Add(With(EveryDay(13), 5))
                               .Bytes();
  // Failing exactly where the second record ends, and with no failure at all.
  for (const auto& [failAt, failed, count] :
       {std::tuple{two.size(), true, 2u}, std::tuple{five.size(), false, 5u}}) {
    SCOPED_TRACE(failAt);
    const FailingByteSource source(five, failAt);
    RecordStream records(source);
    ASSERT_TRUE(records.ReadHeader());
    RecordView view;
    while (records.Next(view)) {
    }
    EXPECT_EQ(records.Count(), count);
    EXPECT_EQ(records.Failed(), failed);
  }
}

TEST(EngineStorageReader, AHugeSparseFileLoadsBoundedAndQuickly) {
  testsupport::TempDir dir;
  const auto path = (dir.Path() / "storage.dat").string();
  ASSERT_TRUE(testsupport::WriteFileBytes(path, StorageBytes().Add(With(EveryDay(9), 1)).Bytes()));
  const int fd = open(path.c_str(), O_WRONLY);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(ftruncate(fd, off_t{1} << 30), 0);
  close(fd);

  const auto start = std::chrono::steady_clock::now();
  FileByteSource source(path);
  std::vector<Record> items;
  ASSERT_TRUE(ReadSource(source, items));
  const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  // The zeros read as empty records of kind 0 until the item limit stops the load.
  EXPECT_EQ(items.size(), kMaxEngineItems);
  EXPECT_EQ(items[0].fields.m_nUID, 1);
  EXPECT_EQ(items[1].fields.m_dwKind, 0u);
  EXPECT_LT(seconds, 30.0);
}

TEST(EngineStorageReader, MissingFileReadsAsNothing) {
  FileByteSource source("/nonexistent-folder/storage.dat");
  std::vector<Record> items;
  EXPECT_FALSE(source.IsOpen());
  EXPECT_EQ(source.GetStatus(), FileByteSource::Status::Missing);
  EXPECT_FALSE(ReadSource(source, items));
}

TEST(EngineStorageReader, OnlyARegularFileIsOpenedAndNothingBlocks) {
  testsupport::TempDir dir;
  const auto at = [&](const char* name) { return (dir.Path() / name).string(); };
  ASSERT_TRUE(testsupport::WriteFileBytes(at("regular"), StorageBytes().Bytes()));
  ASSERT_EQ(mkfifo(at("fifo").c_str(), 0600), 0);
  std::filesystem::create_directory(at("folder"));
  std::filesystem::create_symlink(at("regular"), at("link-to-regular"));
  std::filesystem::create_symlink("/dev/zero", at("link-to-device"));
  using Status = FileByteSource::Status;
  const struct {
    const char* name;
    Status status;
  } rows[] = {{"regular", Status::Open},         {"link-to-regular", Status::Open}, {"fifo", Status::Refused},
              {"folder", Status::Refused},       {"link-to-device", Status::Refused}, {"missing", Status::Missing}};
  for (const auto& row : rows) {
    auto opened = std::async(std::launch::async, [&] { return FileByteSource(at(row.name)).GetStatus(); });
    if (opened.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
      ADD_FAILURE() << row.name << ": the open blocked";
      // A writer lets the blocked open go on, so the test can end.
      close(open(at(row.name).c_str(), O_WRONLY | O_NONBLOCK));
    }
    EXPECT_EQ(opened.get(), row.status) << row.name;
  }
}

TEST(EngineStorageReader, AssignsUidsOfZeroAndBelowAsTheProgramsLoadDoes) {
  const struct {
    std::vector<std::int32_t> stored;
    std::vector<std::int32_t> loaded;
  } rows[] = {
      {{0, -3, 5, 0, 2, 0}, {1, 2, 5, 7, 2, 9}},
      {{4, 9, 1}, {4, 9, 1}},
      {{INT_MAX, 0, 0, -1}, {INT_MAX, 1, 2, 3}},
  };
  for (const auto& row : rows) {
    StorageBytes bytes;
    for (const std::int32_t uid : row.stored) bytes.Add(With(EveryDay(9), uid));
    std::vector<Record> items;
    ASSERT_TRUE(ReadBytes(bytes.Bytes(), items));
    std::vector<std::int32_t> uids;
    for (const auto& item : items) uids.push_back(item.fields.m_nUID);
    EXPECT_EQ(uids, row.loaded) << ::testing::PrintToString(row.stored);
  }
}

}  // namespace
