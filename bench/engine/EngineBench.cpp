// Next occurrence per kind; the active events of realistic storage files in
// process, through the exported call and the pass behind it; the calculation's
// scan. NATALO_BENCH_ENGINE names another build of the library for the call.
#include <benchmark/benchmark.h>
#include <dlfcn.h>

#include <cstdlib>
#include <filesystem>

#include "TickwellLib/ByteSource.h"
#include "TickwellLib/EngineEvents.h"
#include "TickwellLib/NextOccurrence.h"
#include "TickwellLib/Tickwell.h"
#include "bench/engine/RealisticDates.h"
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
// A leap day kept without a year starts in 1604; only its month and day count.
void BM_YearlyLeapDay1604(benchmark::State& s) { RunNextOccurrence(s, Yearly(At(1604, 2, 29, 8))); }
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
BENCHMARK(BM_YearlyLeapDay1604);
BENCHMARK(BM_MonthlyNeverMatches);

// A storage file of `count` realistic entries in a program folder of its own.
class StorageFolder {
 public:
  explicit StorageFolder(int count) : m_folder((m_env.Root() / "Natalo").string() + "/") {
    std::filesystem::create_directories(m_folder);
    testsupport::WriteFileBytes(Storage(), enginebench::StorageOfBirthdays(count));
  }
  std::string Folder() const { return m_folder; }
  std::string Storage() const { return m_folder + "storage.dat"; }

 private:
  testsupport::TestEnvironment m_env;
  std::string m_folder;
};

const FileTime kNow = At(2024, 5, 31, 10);

void PerItem(benchmark::State& state, int count) {
  state.counters["per_item"] = benchmark::Counter(static_cast<double>(state.iterations()) * count,
                                                  benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

#ifdef NATALO_ENGINE_PATH
// The exported call as a caller in a running process repeats it: the library
// loaded from its program folder, the storage mutex, the registry, the result.
void BM_ActiveEventsCall(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  StorageFolder storage(count);
  const char* other = std::getenv("NATALO_BENCH_ENGINE");
  const std::string library = storage.Folder() + "Natalo.so";
  std::filesystem::copy_file(other != nullptr ? other : NATALO_ENGINE_PATH, library);
  void* handle = dlopen(library.c_str(), RTLD_NOW);
  auto get = reinterpret_cast<GetActiveEventsFn>(dlsym(handle, "GetActiveEvents"));
  auto release = reinterpret_cast<ReleaseActiveEventsFn>(dlsym(handle, "ReleaseActiveEvents"));
  if (handle == nullptr || get == nullptr || release == nullptr) {
    state.SkipWithError("cannot load the engine");
    return;
  }
  for (auto _ : state) {
    std::int32_t n = 0, nearest = 0;
    EngineItem** events = nullptr;
    get(&n, &nearest, &events);
    if (n != count) state.SkipWithError("not every entry came back");
    release(n, events);
  }
  PerItem(state, count);
  dlclose(handle);
}
BENCHMARK(BM_ActiveEventsCall)->Arg(1000)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);
#endif

// The pass behind GetActiveEvents on its own, without lock and registry.
void BM_BuildActiveEvents(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  StorageFolder storage(count);
  for (auto _ : state) {
    FileByteSource source(storage.Storage());
    ActiveEventArray events;
    BuildActiveEvents(source, kNow, events);
    benchmark::DoNotOptimize(events.nearest);
    ReleaseActiveEventArray(events.count, events.items);
  }
  PerItem(state, count);
}
BENCHMARK(BM_BuildActiveEvents)->Arg(100'000)->Unit(benchmark::kMillisecond);

// What a calculation reads: the earliest time and the UIDs due then.
void BM_CalculationScan(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  StorageFolder storage(count);
  for (auto _ : state) {
    FileByteSource source(storage.Storage());
    DueEvents due;
    ScanDueEvents(source, kNow, due);
    benchmark::DoNotOptimize(due.earliest);
  }
  PerItem(state, count);
}
BENCHMARK(BM_CalculationScan)->Arg(100'000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
