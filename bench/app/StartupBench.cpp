// Start of the application to its first painted list, as a whole process, with
// an empty storage and with 10,000 and 100,000 stored entries, the stars file in both cases.
// Reports the median of several starts and the peak resident memory.
//
// The program runs offscreen in a private copy of the program folder (its
// registry, runtime and notification folders are private too) and is started
// with --exit-after-first-paint, which prints "first-paint" once the list was
// painted and then ends the program in order.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "bench/support/ProgramFolder.h"
#include "common/entries/EntryCalendar.h"
#include "common/entries/FeskList.h"

extern char** environ;

namespace fs = std::filesystem;

namespace {

// A program folder with the built files and `entries` stored entries.
struct BenchFolder : benchsupport::ProgramFolderRoot {
  explicit BenchFolder(int entries)
      : ProgramFolderRoot(benchsupport::MakeProgramFolderRoot("natalo-bench")) {
    const fs::path built = NATALO_BUILT_PROGRAM_DIR;
    fs::copy_file(built / "Natalo", folder / "Natalo");
    for (const char* name : {"local.dat", "NataloIcons.rcc", "stars.dat", "Natalo.so"}) {
      if (fs::exists(built / name)) fs::create_symlink(fs::canonical(built / name), folder / name);
    }
    FeskList list((folder / "storage.dat").string());
    for (int i = 0; i < entries; ++i) {
      const auto kind = static_cast<std::uint16_t>(i % 3);
      auto entry = std::make_unique<FeskItem>(kind);
      const std::u16string number = u"Person " + std::u16string(1, static_cast<char16_t>(u'A' + i % 26));
      if (kind == Birthday) {
        entry->SetFirstName(number);
        entry->SetLastName(u"Number" + std::u16string(1, static_cast<char16_t>(u'a' + (i / 26) % 26)));
      } else {
        entry->SetName(u"Date " + number);
      }
      MidnightOf(CalendarDate{1940 + i % 80, 1 + i % 12, 1 + i % 28}, entry->m_ftDate);
      entry->m_dwIcon = DefaultIconOfKind(kind);
      if (i % 7 == 0) entry->SetNote(u"A note");
      list.Add(std::move(entry));
    }
    if (entries > 0) list.Save();
    setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
    setenv("XDG_DATA_HOME", (root / "data").c_str(), 1);
    setenv("NATALO_NOTIFY_DIR", (root / "notify/").c_str(), 1);
    setenv("NATALO_NOTIFYD", (root / "no-service").c_str(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // A box (say, for a missing engine) is answered at once, so a broken
    // folder ends the run with an error instead of waiting for a user.
    setenv("NATALO_MESSAGEBOX_ANSWERS", "1", 1);
  }
  ~BenchFolder() {
    std::error_code ec;
    fs::remove_all(root, ec);
  }
};

struct StartResult {
  bool ok = false;
  double seconds = 0;
  double cpuSeconds = 0;
  long maxRssKiB = 0;
};

// Starts the program and times it until it reports its first paint.
StartResult StartOnce(const fs::path& program) {
  StartResult result;
  int pipeFds[2];
  if (pipe(pipeFds) != 0) return result;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
  const std::string path = program.string();
  std::string flag = "--exit-after-first-paint";
  char* argv[] = {const_cast<char*>(path.c_str()), flag.data(), nullptr};
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = -1;
  const int spawned = posix_spawn(&pid, path.c_str(), &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  close(pipeFds[1]);
  if (spawned != 0) {
    close(pipeFds[0]);
    return result;
  }
  std::string seen;
  char buffer[64];
  while (seen.find("first-paint") == std::string::npos) {
    const ssize_t n = read(pipeFds[0], buffer, sizeof buffer);
    if (n <= 0) break;
    seen.append(buffer, static_cast<size_t>(n));
  }
  const auto painted = std::chrono::steady_clock::now();
  close(pipeFds[0]);
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  result.ok = seen.find("first-paint") != std::string::npos && WIFEXITED(status) && WEXITSTATUS(status) == 0;
  result.seconds = std::chrono::duration<double>(painted - start).count();
  result.maxRssKiB = usage.ru_maxrss;
  // User and system time of the whole run, the closing after the paint
  // included: a figure that a busy machine does not stretch.
  const auto cpu = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
  result.cpuSeconds = cpu(usage.ru_utime) + cpu(usage.ru_stime);
  return result;
}

void BM_StartToFirstPaint(benchmark::State& state) {
  BenchFolder folder(static_cast<int>(state.range(0)));
  long maxRss = 0;
  double cpuSeconds = 0;
  for (auto _ : state) {
    const StartResult result = StartOnce(folder.folder / "Natalo");
    if (!result.ok) {
      state.SkipWithError("the program did not report its first paint");
      break;
    }
    state.SetIterationTime(result.seconds);
    maxRss = std::max(maxRss, result.maxRssKiB);
    cpuSeconds += result.cpuSeconds;
  }
  state.counters["peak_rss_MiB"] = static_cast<double>(maxRss) / 1024.0;
  state.counters["process_cpu_ms"] = cpuSeconds * 1000.0 / static_cast<double>(std::max<std::int64_t>(1, state.iterations()));
}

}  // namespace

BENCHMARK(BM_StartToFirstPaint)
    ->Arg(0)
    ->Arg(10000)
    ->Arg(100000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
