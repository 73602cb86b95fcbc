// The main window's commands on a large list: 10,000 stored entries plus the
// stars of the shipped stars file. Each command is measured as the user meets
// it, save of the whole file and recompute request included (the recompute is
// a counter here; the engine's work runs on its own thread). A sort round
// sorts twice: by the key, then in the other order. The sort by name is also
// measured alone over 100,000 entries: each round sorts by the next date
// untimed, then by name timed.
//
// Runs offscreen in a private copy of the program folder.
#include <QApplication>

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <string>

#include "Natalo/Commands.h"
#include "Natalo/EntryListView.h"
#include "Natalo/MainWindow.h"
#include "common/entries/EntryCalendar.h"
#include "common/entries/EntryEditorHook.h"
#include "common/entries/FeskList.h"
#include "common/settings/AppSettings.h"
#include "common/text/LocalTable.h"
#include "common/text/LocalePatterns.h"
#include "common/text/ProgramFolder.h"
#include "platform/text/Utf.h"
#include "platform/ui/MessageBox.h"

namespace fs = std::filesystem;

namespace {

constexpr int kStoredEntries = 10'000;
constexpr int kManyEntries = 100'000;

int AcceptAtOnce(FeskItem& entry, void*) {
  entry.SetFirstName(u"New");
  return 1;
}

// A program folder with the texts and stars, and a window over a full list.
struct BenchWindow {
  explicit BenchWindow(int entries = kStoredEntries) {
    std::string pattern = (fs::temp_directory_path() / "natalo-cmd-bench-XXXXXX").string();
    root = mkdtemp(pattern.data());
    fs::create_directories(root / "run");
    fs::permissions(root / "run", fs::perms::owner_all);
    setenv("XDG_RUNTIME_DIR", (root / "run").c_str(), 1);
    setenv("NATALO_DATA_DIR", (root / "").c_str(), 1);
    const fs::path built = NATALO_BUILT_PROGRAM_DIR;
    for (const char* name : {"local.dat", "stars.dat"}) fs::copy_file(built / name, root / name);
    SetProgramFolder(platform::FromUtf8((root / "").string()));
    GetLocalTable().LoadFile((root / "local.dat").string(), u"[English]");
    InitLocalePatterns();
    g_settings = AppSettings{};
    SetEntryEditorHook(&AcceptAtOnce);

    list = std::make_unique<FeskList>((root / "storage.dat").string());
    for (int i = 0; i < entries; ++i) {
      auto entry = std::make_unique<FeskItem>(static_cast<std::uint16_t>(i % 3));
      entry->SetFirstName(platform::FromUtf8("Name" + std::to_string((i * 7919) % entries)));
      entry->SetName(entry->FirstName());
      MidnightOf({1940 + i % 80, 1 + i % 12, 1 + i % 28}, entry->m_ftDate);
      list->Add(std::move(entry));
    }
    list->SaveStorageLocked();
    list->LoadStars();
    window = std::make_unique<MainWindow>(QStringLiteral("Natalo"), *list, nullptr, true);
    window->SetRecalculate([this] {
      ++recalculations;
      return true;
    });
    window->List().FillList();
  }
  ~BenchWindow() {
    window.reset();
    list.reset();
    SetEntryEditorHook(nullptr);
    fs::remove_all(root);
  }

  fs::path root;
  std::unique_ptr<FeskList> list;
  std::unique_ptr<MainWindow> window;
  int recalculations = 0;
};

// Made on first use, destroyed before the application object goes.
std::unique_ptr<BenchWindow>& TheWindow() {
  static std::unique_ptr<BenchWindow> window;
  return window;
}
BenchWindow& Window() {
  if (!TheWindow()) TheWindow() = std::make_unique<BenchWindow>();
  return *TheWindow();
}
std::unique_ptr<BenchWindow>& TheLargeWindow() {
  static std::unique_ptr<BenchWindow> window;
  return window;
}

void BM_SortByKey(benchmark::State& state) {
  BenchWindow& w = Window();
  const int command = cmd::kSortCommands[state.range(0)];
  for (auto _ : state) {
    w.window->RunCommand(command);
    // Flip the order too, so every round sorts a list in the other order.
    w.window->RunCommand(g_settings.g_bSortAscending ? cmd::kSortDescending : cmd::kSortAscending);
  }
  state.counters["rows"] = w.window->List().RowCount();
}
BENCHMARK(BM_SortByKey)->DenseRange(0, 5)->Unit(benchmark::kMillisecond);

void BM_SortByName100k(benchmark::State& state) {
  // Only one window at a time: the large one goes when this ends.
  TheWindow().reset();
  if (!TheLargeWindow()) TheLargeWindow() = std::make_unique<BenchWindow>(kManyEntries);
  BenchWindow& w = *TheLargeWindow();
  for (auto _ : state) {
    // Each round starts from the list sorted by the next date, untimed, so
    // the timed sort by name puts a list in another order into its own: a
    // mere reversal of a list already sorted by name is never measured.
    state.PauseTiming();
    w.window->RunCommand(cmd::kSortByOccurrence);
    state.ResumeTiming();
    w.window->RunCommand(cmd::kSortByName);
  }
  state.counters["rows"] = w.window->List().RowCount();
  TheLargeWindow().reset();
}
BENCHMARK(BM_SortByName100k)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

void BM_NewEntry(benchmark::State& state) {
  BenchWindow& w = Window();
  for (auto _ : state) w.window->RunCommand(cmd::kNewBirthday);
  state.counters["rows"] = w.window->List().RowCount();
}
BENCHMARK(BM_NewEntry)->Iterations(50)->Unit(benchmark::kMillisecond);

void BM_Delete(benchmark::State& state) {
  BenchWindow& w = Window();
  for (auto _ : state) {
    state.PauseTiming();
    w.window->List().SelectRow(w.window->List().RowCount() / 2, true);
    keypad::PushMessageBoxAnswer(keypad::IDYES);
    state.ResumeTiming();
    w.window->RunCommand(cmd::kDelete);
  }
  state.counters["rows"] = w.window->List().RowCount();
}
BENCHMARK(BM_Delete)->Iterations(50)->Unit(benchmark::kMillisecond);

void BM_ToggleShowStars(benchmark::State& state) {
  BenchWindow& w = Window();
  for (auto _ : state) w.window->RunCommand(cmd::kShowStars);
  state.counters["rows"] = w.window->List().RowCount();
}
BENCHMARK(BM_ToggleShowStars)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  TheWindow().reset();
  benchmark::Shutdown();
  return 0;
}
