// What a caller meets: a whole process that loads Natalo.so, reads the active
// events of N realistic entries once, releases them and ends; beside it `remind`
// on the same dates (its next date of each, and today's reminders). Each run
// reports its CPU time, minor page faults and peak resident memory. NATALO_BENCH_ENGINE
// names another build of the library to measure instead.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench/engine/RealisticDates.h"
#include "tests/support/TempDir.h"

namespace {

struct Folders {
  testsupport::TestEnvironment env;  // private registry and runtime folders, inherited by the runs
  std::map<int, std::string> programFolders;

  // A program folder with the library and a storage file of `count` entries,
  // and a remind script of the same dates.
  const std::string& For(int count) {
    auto it = programFolders.find(count);
    if (it != programFolders.end()) return it->second;
    const std::string folder = (env.Root() / ("n" + std::to_string(count)) / "Natalo").string() + "/";
    std::filesystem::create_directories(folder);
    const char* other = std::getenv("NATALO_BENCH_ENGINE");
    std::filesystem::copy_file(other != nullptr ? other : NATALO_ENGINE_PATH, folder + "Natalo.so",
                               std::filesystem::copy_options::overwrite_existing);
    testsupport::WriteFileBytes(folder + "storage.dat", enginebench::StorageOfBirthdays(count));
    testsupport::WriteFileBytes(folder + "dates.rem", enginebench::RemindScriptOfBirthdays(count));
    return programFolders.emplace(count, folder).first->second;
  }
};

Folders& Shared() {
  static Folders folders;
  return folders;
}

bool FindRemind(std::string& path) {
  for (const char* candidate : {"/usr/bin/remind", "/usr/local/bin/remind"}) {
    if (std::filesystem::exists(candidate)) {
      path = candidate;
      return true;
    }
  }
  return false;
}

// Runs the program once per iteration through the measuring launcher; the
// program's wall time is the iteration's time.
void RunProcess(benchmark::State& state, const std::vector<std::string>& args, int expectedExit = 0) {
  std::string command = "'" MEASURE_RUN_PATH "'";
  for (const auto& a : args) command += " '" + a + "'";
  command += " 2>/dev/null";
  double faults = 0;
  double cpuMicros = 0;
  long peakKiB = 0;
  for (auto _ : state) {
    FILE* run = popen(command.c_str(), "r");
    long micros = 0, minflt = 0, maxrss = 0, cpu = 0;
    const bool measured = run != nullptr && std::fscanf(run, "%ld %ld %ld %ld", &micros, &minflt, &maxrss, &cpu) == 4;
    const int status = run != nullptr ? pclose(run) : -1;
    if (!measured || !WIFEXITED(status) || WEXITSTATUS(status) != expectedExit) {
      state.SkipWithError("the program failed");
      break;
    }
    state.SetIterationTime(static_cast<double>(micros) / 1e6);
    faults += static_cast<double>(minflt);
    cpuMicros += static_cast<double>(cpu);
    peakKiB = std::max(peakKiB, maxrss);
  }
  // The program's own CPU time: the benchmark's CPU column is the launcher's.
  state.counters["cpu_ms"] = benchmark::Counter(cpuMicros / 1000.0, benchmark::Counter::kAvgIterations);
  state.counters["page_faults"] = benchmark::Counter(faults, benchmark::Counter::kAvgIterations);
  state.counters["peak_MiB"] = static_cast<double>(peakKiB) / 1024.0;
}

void BM_NataloActiveEvents(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  const std::string folder = Shared().For(count);
  state.counters["file_MiB"] = static_cast<double>(std::filesystem::file_size(folder + "storage.dat")) / (1024 * 1024);
  RunProcess(state, {ACTIVE_EVENTS_PROBE_PATH, folder + "Natalo.so"});
}

void RunRemind(benchmark::State& state, std::vector<std::string> options) {
  std::string remind;
  if (!FindRemind(remind)) {
    state.SkipWithError("remind is not installed: run bench/engine/setup-remind");
    return;
  }
  const std::string folder = Shared().For(static_cast<int>(state.range(0)));
  std::vector<std::string> args{remind};
  for (auto& o : options) args.push_back(o);
  args.push_back(folder + "dates.rem");
  RunProcess(state, args);
}

void BM_RemindNextOfEach(benchmark::State& state) { RunRemind(state, {"-n"}); }
void BM_RemindToday(benchmark::State& state) { RunRemind(state, {"-q", "-a"}); }

// A process with an empty storage: the fixed size the memory target adds to.
void BM_NataloEmptyStorage(benchmark::State& state) {
  const std::string folder = Shared().For(0);
  std::vector<std::string> args{ACTIVE_EVENTS_PROBE_PATH, folder + "Natalo.so"};
  // The probe ends with 5 when nothing is returned.
  RunProcess(state, args, 5);
}

void Sizes(benchmark::internal::Benchmark* b) {
  b->Arg(1000)->Arg(10'000)->Arg(100'000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(5)
      ->ReportAggregatesOnly(true)->ComputeStatistics("min", [](const std::vector<double>& v) {
        return *std::min_element(v.begin(), v.end());
      });
}

BENCHMARK(BM_NataloEmptyStorage)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_NataloActiveEvents)->Apply(Sizes);
BENCHMARK(BM_RemindNextOfEach)->Apply(Sizes);
BENCHMARK(BM_RemindToday)->Apply(Sizes);

}  // namespace

BENCHMARK_MAIN();
