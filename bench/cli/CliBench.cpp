// The command line as a whole process over 100,000 stored entries:
// `natalo list --days 30` and `natalo export --ics -`, output to /dev/null.
// Each iteration is one start of NataloCli in a private program folder.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/support/ProgramFolder.h"
#include "common/entries/EntryCalendar.h"
#include "common/entries/EntryReminder.h"
#include "common/entries/FeskList.h"

extern char** environ;

namespace fs = std::filesystem;

namespace {

constexpr int kEntries = 100'000;

double ChildrenCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

struct BenchFolder : benchsupport::ProgramFolderRoot {
  BenchFolder()
      : ProgramFolderRoot(benchsupport::MakeProgramFolderRoot("natalo-cli-bench")) {
    const fs::path built = NATALO_BUILT_PROGRAM_DIR;
    for (const char* name : {"NataloCli", "Natalo.so", "local.dat"}) fs::copy_file(built / name, folder / name);
    FeskList list((folder / "storage.dat").string());
    for (int i = 0; i < kEntries; ++i) {
      const std::uint16_t kind = static_cast<std::uint16_t>(i % 3);
      auto entry = std::make_unique<FeskItem>(kind);
      const std::u16string name = u"Person " + std::u16string(1, static_cast<char16_t>(u'A' + i % 26));
      (kind == Birthday ? entry->m_szFirstName : entry->m_szName) = name + u" " + std::u16string(8, u'x');
      entry->m_szLastName = u"Number";
      entry->m_szNote = i % 5 == 0 ? u"A note; with, things to escape\nand a second line" : u"";
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

  void Run(benchmark::State& state, std::vector<std::string> args) const {
    const std::string program = (folder / "NataloCli").string();
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    // The machine may be shared: the children's CPU time (user and system)
    // is reported beside the wall time.
    const double cpuBefore = ChildrenCpuSeconds();
    for (auto _ : state) {
      pid_t pid = 0;
      if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) std::abort();
      int status = 0;
      waitpid(pid, &status, 0);
      if (!WIFEXITED(status) || WEXITSTATUS(status) > 1) state.SkipWithError("NataloCli failed");
    }
    posix_spawn_file_actions_destroy(&actions);
    state.counters["child_cpu_ms"] =
        benchmark::Counter((ChildrenCpuSeconds() - cpuBefore) * 1000.0, benchmark::Counter::kAvgIterations);
  }

};

BenchFolder& Folder() {
  static BenchFolder folder;
  return folder;
}

void BM_ListDays30(benchmark::State& state) { Folder().Run(state, {"list", "--days", "30"}); }
void BM_ExportIcs(benchmark::State& state) { Folder().Run(state, {"export", "--ics", "-"}); }

BENCHMARK(BM_ListDays30)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_ExportIcs)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
