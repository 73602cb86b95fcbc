// Next occurrence per kind, and loading a large storage file plus collecting its events.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "TickwellLib/ByteSource.h"
#include "TickwellLib/EngineEvents.h"
#include "TickwellLib/NextOccurrence.h"
#include "tests/engine/ItemBuilders.h"
#include "tests/engine/StorageBytes.h"
#include "tests/support/TempDir.h"

using namespace enginetest;

namespace {

void RunNextOccurrence(benchmark::State& state, const ScheduleFields& item) {
  // Moving the clock a little each round keeps the work from being folded away.
  FileTime now = At(2024, 5, 31, 10);
  for (auto _ : state) {
    benchmark::DoNotOptimize(NextOccurrence(item, now));
    now += 7 * platform::FILETIME_PER_HOUR;
  }
}

void BM_Weekly(benchmark::State& s) { RunNextOccurrence(s, Weekly(1 | 16, 9)); }
void BM_EveryDay(benchmark::State& s) { RunNextOccurrence(s, EveryDay(9)); }
void BM_Once(benchmark::State& s) { RunNextOccurrence(s, Once(At(2030, 1, 1))); }
void BM_MonthlyByDay(benchmark::State& s) { RunNextOccurrence(s, Monthly(0, 31)); }
void BM_MonthlyByWeekDay(benchmark::State& s) { RunNextOccurrence(s, MonthlyWeekDay(4, 16)); }
void BM_MonthlyByWorkDays(benchmark::State& s) { RunNextOccurrence(s, Monthly(2, 23)); }
void BM_MonthlyDecemberOnly(benchmark::State& s) { RunNextOccurrence(s, MonthlyWeekDay(0, 1, 1u << 11)); }
void BM_Yearly(benchmark::State& s) { RunNextOccurrence(s, Yearly(At(1990, 5, 10, 8))); }
void BM_YearlyLeapDay(benchmark::State& s) { RunNextOccurrence(s, Yearly(At(2008, 2, 29, 8))); }
void BM_MonthlyNeverMatches(benchmark::State& s) { RunNextOccurrence(s, Monthly(2, 25)); }
BENCHMARK(BM_Weekly);
BENCHMARK(BM_EveryDay);
BENCHMARK(BM_Once);
BENCHMARK(BM_MonthlyByDay);
BENCHMARK(BM_MonthlyByWeekDay);
BENCHMARK(BM_MonthlyByWorkDays);
BENCHMARK(BM_MonthlyDecemberOnly);
BENCHMARK(BM_Yearly);
BENCHMARK(BM_YearlyLeapDay);
BENCHMARK(BM_MonthlyNeverMatches);

void BM_Load100kAndCollect(benchmark::State& state) {
  testsupport::TempDir dir;
  const auto path = (dir.Path() / "storage.dat").string();
  StorageBytes bytes;
  for (int uid = 1; uid <= 100'000; ++uid) {
    const std::string ext(40, 'e');
    switch (uid % 4) {
      case 0: bytes.Add(With(Yearly(At(1970 + uid % 50, 1 + uid % 12, 1 + uid % 28, 9)), uid), ext); break;
      case 1: bytes.Add(With(Weekly(1u << (uid % 7), uid % 24), uid), ext); break;
      case 2: bytes.Add(With(Monthly(static_cast<std::uint16_t>(uid % 4), uid % 24), uid), ext); break;
      default: bytes.Add(With(Once(At(2024, 6, 1 + uid % 28, 12)), uid), ext); break;
    }
  }
  testsupport::WriteFileBytes(path, bytes.Bytes());
  const FileTime now = At(2024, 5, 31, 10);
  for (auto _ : state) {
    FileByteSource source(path);
    ActiveEventArray events;
    BuildActiveEvents(source, now, events);
    benchmark::DoNotOptimize(events.nearest);
    ReleaseActiveEventArray(events.count, events.items);
  }
}
BENCHMARK(BM_Load100kAndCollect)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
