// The engine's results for a table of mixed storage files, compared with results
// recorded from an earlier, item-by-item implementation of the same reading and
// collecting (data/MixedStorageResults.txt). Set NATALO_WRITE_ENGINE_RESULTS=1
// to record them again, only when a result is meant to change.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "TickwellLib/EngineEvents.h"
#include "tests/engine/ItemBuilders.h"
#include "tests/engine/StorageBytes.h"
#include "tests/support/TempDir.h"

using namespace enginetest;

namespace {

struct MixedFile {
  std::string name;
  std::string bytes;
};

// A small linear congruential generator: the same items on every run.
class Numbers {
 public:
  std::uint32_t Next() {
    m_state = m_state * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<std::uint32_t>(m_state >> 33);
  }
  std::uint32_t Below(std::uint32_t n) { return Next() % n; }

 private:
  std::uint64_t m_state = 20240108;
};

std::string Ext(Numbers& n, std::size_t length) {
  std::string ext(length, '\0');
  for (auto& c : ext) c = static_cast<char>(n.Next());
  return ext;
}

// Every kind in every state: plain, marked skip, snoozed ahead with and without
// a counter, snoozed into the past, disabled; extension blocks of 0 to 65,535 bytes.
std::string EveryKindAndState(Numbers& n) {
  const ScheduleFields kinds[] = {
      Weekly(1 | 16, 9),           EveryDay(7, 30),         Once(At(2024, 1, 8, 9)), Once(At(2024, 3, 1, 12)),
      Item(4, At(2024, 1, 8, 20)), Monthly(0, 31),          Monthly(0, -2, 0x002),   MonthlyWeekDay(4, 16),
      MonthlyWeekDay(1, 64, 0x800), Monthly(2, 23),         Monthly(2, 24, 0x0F0),   Monthly(3, 10),
      Monthly(3, 11),              Monthly(7, 3),           Yearly(At(1990, 5, 10, 8)), Yearly(At(2008, 2, 29, 9)),
      Yearly(At(1970, 1, 8, 8)),   Item(16, At(2030, 1, 1)), Weekly(0, 9),           Yearly(TIME_NONE)};
  StorageBytes bytes;
  std::int32_t uid = 1;
  for (const auto& kind : kinds) {
    for (int state = 0; state < 6; ++state) {
      ScheduleFields f = With(kind, uid);
      switch (state) {
        case 1: f.m_wSkipNext = 1; break;
        case 2: f.m_ftSnooze = At(2024, 1, 8, 8, 30); f.m_dwSnoozeCounter = 1; break;
        case 3: f.m_ftSnooze = At(2024, 2, 1, 10); break;
        case 4: f.m_ftSnooze = At(2023, 12, 1); f.m_dwSnoozeCounter = 2; f.m_wSkipNext = 1; break;
        case 5: f.m_bEnabled = 0; break;
        default: break;
      }
      const std::size_t length = uid == 37 ? 65535 : uid % 5 == 0 ? 0 : n.Below(200);
      bytes.Add(f, Ext(n, length));
      uid += 1 + static_cast<std::int32_t>(n.Below(3));
    }
  }
  return bytes.Bytes();
}

// Items of every kind with fields drawn at random, some stored without a UID.
std::string Drawn(Numbers& n, int count) {
  const std::uint32_t kinds[] = {1, 2, 4, 8, 32, 64, 16};
  const FileTime from = At(1990, 1, 1);
  const FileTime to = At(2035, 1, 1);
  StorageBytes bytes;
  std::int32_t uid = 0;
  for (int i = 0; i < count; ++i) {
    const auto at = [&] { return from + (static_cast<FileTime>(n.Next()) << 31 | n.Next()) % (to - from); };
    ScheduleFields f = Item(kinds[n.Below(7)], at());
    // Some items share one moment, to give ties that the UIDs order.
    if (n.Below(10) == 0) f.m_ftStart = At(2024, 1, 9, 9);
    f.m_dwWeekDays = n.Below(128);
    f.m_bEnabled = n.Below(10) != 0 ? 1 : 0;
    uid += 1 + static_cast<std::int32_t>(n.Below(3));
    f.m_nUID = n.Below(50) == 0 ? -static_cast<std::int32_t>(n.Below(2)) : uid;
    f.m_wSkipNext = n.Below(8) == 0 ? 1 : 0;
    if (n.Below(8) == 0) f.m_ftSnooze = at();
    if (n.Below(8) == 0) f.m_ftSnooze = At(2024, 1, 8, 8) + n.Below(1000) * platform::FILETIME_PER_MINUTE;
    f.m_dwSnoozeCounter = n.Below(4) == 0 ? n.Below(3) : 0;
    f.m_dwAutoSnoozeCounter = n.Below(3);
    f.m_dwMonths = n.Below(4) == 0 ? n.Below(4096) : 0xFFF;
    f.m_wMonthlyType = static_cast<std::uint16_t>(n.Below(5));
    f.m_nMonthDay = static_cast<std::int32_t>(n.Below(36)) - 5;
    f.m_dwWeekOfMonth = n.Below(6);
    f.m_dwWeekDay = n.Below(10) == 0 ? 3 : 1u << n.Below(7);
    bytes.Add(f, Ext(n, n.Below(300)));
  }
  return bytes.Bytes();
}

std::vector<MixedFile> MixedFiles() {
  Numbers n;
  std::vector<MixedFile> files;
  files.push_back({"every kind and state", EveryKindAndState(n)});
  files.push_back({"UIDs to assign", StorageBytes()
                                         .Add(With(Once(At(2024, 1, 9, 9)), 0), "a")
                                         .Add(With(Once(At(2024, 1, 9, 10)), -5), "")
                                         .Add(With(EveryDay(10), 10), "b")
                                         .Add(With(Once(At(2024, 1, 9, 9)), 0), "c")
                                         .Add(With(Weekly(2, 9), 3), "d")
                                         .Add(With(Once(At(2024, 1, 9, 11)), 0), "e")
                                         .Bytes()});
  const std::string drawn = Drawn(n, 3000);
  files.push_back({"drawn", drawn});
  files.push_back({"drawn, cut in its last record", drawn.substr(0, drawn.size() - 7)});
  files.push_back({"plain list magic", StorageBytes(0xCE00, 0x0103, 1).Raw(drawn.substr(8, 4000)).Bytes()});
  files.push_back({"header only", StorageBytes().Bytes()});
  files.push_back({"empty", ""});
  files.push_back({"other version", StorageBytes(0xCE09, 0x0101).Raw(drawn.substr(8, 400)).Bytes()});
  return files;
}

std::uint64_t Fnv(std::uint64_t hash, const std::uint8_t* data, std::size_t size) {
  for (std::size_t i = 0; i < size; ++i) hash = (hash ^ data[i]) * 1099511628211ULL;
  return hash;
}

// One line per returned item with every field and a digest of its extension
// block; past the first lines only a digest of all of them is kept.
std::string Describe(const std::string& path, FileTime now) {
  constexpr std::int32_t kLinesKept = 12;
  std::ostringstream out;
  ActiveEventArray events;
  out << "load " << static_cast<int>(ReadActiveEvents(path, now, events)) << " count " << events.count << " nearest "
      << events.nearest << "\n";
  std::uint64_t all = 14695981039346656037ULL;
  for (std::int32_t i = 0; i < events.count; ++i) {
    std::ostringstream line;
    const EngineItem& e = *events.items[i];
    const ScheduleFields& f = e.fields;
    const std::uint64_t hash = Fnv(14695981039346656037ULL, e.m_pExtData, e.m_wExtLength);
    line << f.m_nUID << ' ' << f.m_dwKind << ' ' << f.m_ftStart << ' ' << f.m_dwWeekDays << ' ' << f.m_bEnabled << ' '
        << f.m_wSkipNext << ' ' << f.m_ftSnooze << ' ' << f.m_dwAutoSnoozeCounter << ' ' << f.m_dwSnoozeCounter << ' '
        << f.m_ftNext << ' ' << f.m_dwMonths << ' ' << f.m_wMonthlyType << ' ' << f.m_nMonthDay << ' '
        << f.m_dwWeekOfMonth << ' ' << f.m_dwWeekDay << ' ' << e.m_wExtLength << ' ' << std::hex << hash << std::dec
        << (e.m_wExtLength == 0 && e.m_pExtData != nullptr ? " data without length" : "") << "\n";
    const std::string text = line.str();
    all = Fnv(all, reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    if (i < kLinesKept) out << text;
  }
  out << "items digest " << std::hex << all << std::dec << "\n";
  ReleaseActiveEventArray(events.count, events.items);
  const DueEvents due = LoadDueEvents(path, now);
  out << "due load " << static_cast<int>(due.load) << " total " << due.total << " enabled " << due.enabled << " active "
      << due.active << " earliest " << due.earliest << " uids";
  for (const std::int32_t uid : due.nearestUids) out << ' ' << uid;
  out << "\n";
  return out.str();
}

TEST(MixedStorage, ResultsAreThoseRecordedFromTheItemByItemReader) {
  testsupport::TempDir dir;
  const std::string path = (dir.Path() / "storage.dat").string();
  const FileTime nows[] = {At(2024, 1, 8, 8), At(2024, 2, 29, 23, 59, 59, 999), At(2031, 12, 31, 12)};
  std::string results;
  for (const auto& file : MixedFiles()) {
    ASSERT_TRUE(testsupport::WriteFileBytes(path, file.bytes));
    for (const FileTime now : nows) results += "== " + file.name + " at " + Show(now) + "\n" + Describe(path, now);
  }
  const std::string recorded = NATALO_ENGINE_RESULTS;
  if (std::getenv("NATALO_WRITE_ENGINE_RESULTS") != nullptr) {
    ASSERT_TRUE(testsupport::WriteFileBytes(recorded, results));
    GTEST_SKIP() << "recorded " << recorded;
  }
  const std::string expected = testsupport::ReadFileBytes(recorded);
  ASSERT_FALSE(expected.empty()) << recorded;
  std::istringstream got(results), want(expected);
  std::string a, b, section;
  for (int line = 1; std::getline(want, b); ++line) {
    if (!std::getline(got, a)) a = "<end>";
    if (b.rfind("== ", 0) == 0) section = b;
    ASSERT_EQ(a, b) << "line " << line << " in " << section;
  }
  EXPECT_FALSE(std::getline(got, a)) << "more results than recorded: " << a;
}

}  // namespace
