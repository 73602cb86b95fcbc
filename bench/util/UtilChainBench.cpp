// The reminder chain as a user meets it, with 10,000 entries in storage.dat:
// from the due moment to the painted reminder window with its sound started
// (notification service timer, process start, storage load, window; the
// later of the paint and the sound's start), the
// utility's peak resident memory, and a recalculation-mode run.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "NataloUtil/SnoozeRules.h"
#include "common/entries/FeskList.h"
#include "platform/clock/Clock.h"
#include "tests/util/UtilProgramFolder.h"
#include "tests/util/UtilTestSupport.h"

using namespace utiltest;
using platform::FILETIME_PER_SECOND;

namespace {

constexpr int kEntries = 10'000;

// 10,000 entries; the first one's snooze is due at `due`.
void SaveEntriesDueAt(const std::string& folder, platform::FileTime due) {
  FeskList list(folder + "storage.dat");
  for (int i = 0; i < kEntries; ++i) {
    const auto kind = static_cast<std::uint16_t>(i % 3);
    auto entry = Entry(kind, i % 3 == 0 ? "Person Number" : "Some date", {1940 + i % 80, 1 + i % 12, 1 + i % 28});
    if (i % 7 == 0) entry->SetNote(u"A note");
    if (i == 0) {
      entry->m_ftSnooze = due;
      entry->m_dwSnoozeCounter = 1;
    }
    list.Add(std::move(entry));
  }
  list.SaveStorageLocked();
}

std::size_t CountShown(const UtilProgramFolder& p) {
  std::size_t n = 0;
  for (const auto& line : p.Trace()) n += line.rfind("shown ", 0) == 0;
  return n;
}

void BM_DueToPaintedWindow(benchmark::State& state) {
  UtilProgramFolder p;
  notifytest::EnvScope dismiss("NATALO_UTIL_COMMANDS", std::to_string(kCmdDismiss).c_str());
  if (p.Harness().StartDaemon() <= 0) {
    state.SkipWithError("no notification service");
    return;
  }
  long peakKb = 0;
  double toStart = 0, toTexts = 0, toPaint = 0, toSound = 0, dueToPaint = 0, dueToSound = 0;
  for (auto _ : state) {
    const platform::FileTime due = platform::GetLocalFileTime() + 2 * FILETIME_PER_SECOND;
    SaveEntriesDueAt(p.Folder(), due);
    const std::size_t before = CountShown(p);
    p.Wait(p.Start(""), std::chrono::seconds(30));  // arms the snooze
    std::string shown;
    for (int i = 0; i < 2000 && shown.empty(); ++i) {
      if (CountShown(p) > before) {
        for (const auto& line : p.Trace()) {
          if (line.rfind("shown ", 0) == 0) shown = line;
        }
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (shown.empty()) {
      state.SkipWithError("the reminder was not shown");
      return;
    }
    // Let it end before the next round; the sound starts beside the window
    // and may trace after it.
    for (int i = 0; i < 400; ++i) {
      std::size_t done = 0;
      for (const auto& line : p.Trace()) {
        if (line.rfind("done ", 0) == 0) {
          ++done;
          peakKb = std::max(peakKb, std::stol(line.substr(5)));
        }
      }
      if (done >= CountShown(p)) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    // Where the time goes: the last lines of each kind belong to this run.
    const platform::FileTime painted = std::stoull(shown.substr(shown.find(' ', 6) + 1));
    platform::FileTime started = 0, texts = 0, sound = 0;
    for (const auto& line : p.Trace()) {
      if (line.rfind("sound ", 0) == 0) sound = std::stoull(line.substr(line.find(' ', 6) + 1));
      if (line.rfind("start ", 0) == 0) started = std::stoull(line.substr(6));
      if (line.rfind("texts ", 0) == 0) texts = std::stoull(line.substr(6));
    }
    // The reminder is there once the window is painted and its sound started.
    state.SetIterationTime(static_cast<double>(std::max(painted, sound) - due) / 1e7);
    toStart += static_cast<double>(started - due) / 1e4;
    toTexts += static_cast<double>(texts - started) / 1e4;
    toPaint += static_cast<double>(painted - texts) / 1e4;
    toSound += static_cast<double>(sound - texts) / 1e4;
    dueToPaint += static_cast<double>(painted - due) / 1e4;
    dueToSound += static_cast<double>(sound - due) / 1e4;
  }
  state.counters["peak_rss_kB"] = static_cast<double>(peakKb);
  state.counters["due_to_start_ms"] = benchmark::Counter(toStart, benchmark::Counter::kAvgIterations);
  state.counters["start_to_texts_ms"] = benchmark::Counter(toTexts, benchmark::Counter::kAvgIterations);
  state.counters["texts_to_paint_ms"] = benchmark::Counter(toPaint, benchmark::Counter::kAvgIterations);
  state.counters["texts_to_sound_ms"] = benchmark::Counter(toSound, benchmark::Counter::kAvgIterations);
  // Which of the two sets the figure.
  state.counters["due_to_paint_ms"] = benchmark::Counter(dueToPaint, benchmark::Counter::kAvgIterations);
  state.counters["due_to_sound_ms"] = benchmark::Counter(dueToSound, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_DueToPaintedWindow)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

void BM_RecalculationRun(benchmark::State& state) {
  UtilProgramFolder p;
  SaveEntriesDueAt(p.Folder(), 0);
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    p.Wait(p.Start(""), std::chrono::seconds(30));
    state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
}
BENCHMARK(BM_RecalculationRun)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
