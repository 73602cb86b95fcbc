// The command line as a whole process over 100,000 stored entries:
// `natalo list` a month and a year ahead (as text and as JSON), `natalo
// export --ics -` and `natalo --help`, output to /dev/null. Each iteration is
// one start of NataloCli in a private program folder with its own data
// folder; each run reports its CPU time and peak memory.
#include <benchmark/benchmark.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/support/ProgramFolder.h"
#include "common/entries/EntryCalendar.h"
#include "common/entries/EntryReminder.h"
#include "common/entries/FeskList.h"

namespace fs = std::filesystem;

namespace {

constexpr int kEntries = 100'000;

struct BenchFolder : benchsupport::ProgramFolderRoot {
  BenchFolder()
      : ProgramFolderRoot(benchsupport::MakeProgramFolderRoot("natalo-cli-bench")) {
    const fs::path built = NATALO_BUILT_PROGRAM_DIR;
    for (const char* name : {"NataloCli", "Natalo.so", "local.dat"}) fs::copy_file(built / name, folder / name);
    // A data folder of its own, so that no run reads or moves the user's.
    fs::create_directories(root / "data");
    setenv("NATALO_DATA_DIR", (root / "data").c_str(), 1);
    fs::create_directories(root / "empty");
    FeskList list((root / "data" / "storage.dat").string());
    for (int i = 0; i < kEntries; ++i) {
      const std::uint16_t kind = static_cast<std::uint16_t>(i % 3);
      auto entry = std::make_unique<FeskItem>(kind);
      const std::u16string name = u"Person " + std::u16string(1, static_cast<char16_t>(u'A' + i % 26));
      const std::u16string shown = name + u" " + std::u16string(8, u'x');
      if (kind == Birthday) {
        entry->SetFirstName(shown);
      } else {
        entry->SetName(shown);
      }
      entry->SetLastName(u"Number");
      entry->SetNote(i % 5 == 0 ? u"A note; with, things to escape\nand a second line" : u"");
      MidnightOf({1950 + i % 70, 1 + i % 12, 1 + i % 28}, entry->m_ftDate);
      entry->m_bEnabled = i % 4 != 0;
      ApplyReminder(*entry, static_cast<std::uint32_t>(i % 10), 0x0900);
      list.Add(std::move(entry));
    }
    if (!list.Save()) std::abort();
  }
  // NATALO_CLI_BENCH_KEEP keeps the folder for a look with a profiler.
  ~BenchFolder() {
    if (std::getenv("NATALO_CLI_BENCH_KEEP") == nullptr) fs::remove_all(root);
  }

  // `emptyData` runs with a data folder that holds no storage file: the
  // fixed size a run's memory adds to. Each run goes through the measuring
  // launcher, whose small process makes the peak memory the program's own.
  void Run(benchmark::State& state, const std::vector<std::string>& args, bool emptyData = false) const {
    std::string command = "'" CLI_MEASURE_RUN_PATH "' '" + (folder / "NataloCli").string() + "'";
    for (const std::string& arg : args) command += " '" + arg + "'";
    command += " 2>/dev/null";
    const std::string data = (root / (emptyData ? "empty" : "data")).string();
    setenv("NATALO_DATA_DIR", data.c_str(), 1);
    // The machine may be shared: the program's CPU time (user and system) is
    // reported beside its wall time, with the largest peak memory of a run.
    double cpuMicros = 0;
    long peakKiB = 0;
    for (auto _ : state) {
      FILE* run = popen(command.c_str(), "r");
      long micros = 0, minflt = 0, maxrss = 0, cpu = 0;
      const bool measured = run != nullptr && std::fscanf(run, "%ld %ld %ld %ld", &micros, &minflt, &maxrss, &cpu) == 4;
      const int status = run != nullptr ? pclose(run) : -1;
      // Exit code 1 is a list with nothing due.
      if (!measured || !WIFEXITED(status) || WEXITSTATUS(status) > 1) {
        state.SkipWithError("NataloCli failed");
        break;
      }
      state.SetIterationTime(static_cast<double>(micros) / 1e6);
      cpuMicros += static_cast<double>(cpu);
      peakKiB = std::max(peakKiB, maxrss);
    }
    setenv("NATALO_DATA_DIR", (root / "data").c_str(), 1);
    state.counters["child_cpu_ms"] = benchmark::Counter(cpuMicros / 1000.0, benchmark::Counter::kAvgIterations);
    state.counters["peak_MiB"] = static_cast<double>(peakKiB) / 1024.0;
    state.counters["file_MiB"] = static_cast<double>(fs::file_size(root / "data" / "storage.dat")) / (1024 * 1024);
  }
};

BenchFolder& Folder() {
  static BenchFolder folder;
  return folder;
}

void BM_ListDays30(benchmark::State& state) { Folder().Run(state, {"list", "--days", "30"}); }
void BM_ListDays366(benchmark::State& state) { Folder().Run(state, {"list", "--days", "366"}); }
void BM_ListDays366Json(benchmark::State& state) { Folder().Run(state, {"list", "--days", "366", "--json"}); }
// The same list with no storage file: the memory every run starts from.
void BM_ListDays366Empty(benchmark::State& state) { Folder().Run(state, {"list", "--days", "366"}, true); }
// The data differ from scripts/bench's (here a third of the entries are
// birthdays, a quarter have no alarm and no record carries a sound file): a
// calendar of 33 MB against 36 MB there, and a figure about 5% lower.
void BM_ExportIcs(benchmark::State& state) { Folder().Run(state, {"export", "--ics", "-"}); }
// The engine's next moment and the entries due then.
void BM_Next(benchmark::State& state) { Folder().Run(state, {"next"}); }
void BM_Help(benchmark::State& state) { Folder().Run(state, {"--help"}); }

BENCHMARK(BM_ListDays30)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_ListDays366)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_ListDays366Json)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_ListDays366Empty)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_ExportIcs)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_Next)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_Help)->Unit(benchmark::kMillisecond)->UseManualTime();

}  // namespace

BENCHMARK_MAIN();
