// The contact scan over a vCard folder of 10,000 contacts: into an empty list
// (every contact adds an entry), and into a list that already holds their
// 10,000 entries (every contact matches one). Each round reads the folder,
// matches, and saves the list, as a scan from the menu does.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <string>

#include "Natalo/import/ContactScan.h"
#include "common/entries/FeskList.h"
#include "common/settings/AppSettings.h"
#include "common/text/LocalTable.h"
#include "common/text/ProgramFolder.h"
#include "platform/contacts/ContactStore.h"
#include "platform/text/Utf.h"
#include "tests/import/ManyContacts.h"
#include "tests/support/TempDir.h"

namespace fs = std::filesystem;

namespace {

constexpr int kContacts = 10'000;

// A program folder with the texts and a contact folder of kContacts cards.
struct ScanBenchFolder {
  ScanBenchFolder() {
    const fs::path program = env.ProgramFolder();
    fs::copy_file(fs::path(NATALO_BUILT_PROGRAM_DIR) / "local.dat", program / "local.dat");
    SetProgramFolder(platform::FromUtf8(program.string()));
    GetLocalTable().LoadFile((program / "local.dat").string(), u"[English]");
    g_settings = AppSettings{};
    contacts = (env.Root() / "contacts").string();
    fs::create_directories(contacts);
    written = importtest::WriteManyContacts(contacts, kContacts);
  }
  std::string StoragePath() const { return env.ProgramFolder() + "storage.dat"; }

  testsupport::TestEnvironment env;
  std::string contacts;
  bool written = false;
};

ScanBenchFolder& Folder() {
  static ScanBenchFolder folder;
  return folder;
}

ContactScanReport Scan(FeskList& list) {
  platform::ContactStore store(Folder().contacts);
  ContactScanSettings settings;
  ContactScanHooks hooks;
  hooks.save = [](FeskList& l) { return l.SaveStorageLocked(); };
  ContactScanReport report;
  ScanContacts(list, store, settings, hooks, &report);
  return report;
}

void Report(benchmark::State& state, const ContactScanReport& report, const FeskList& list) {
  state.counters["added"] = report.birthdaysAdded + report.anniversariesAdded;
  state.counters["matched"] = report.alreadyListed;
  state.counters["entries"] = static_cast<double>(list.Count());
  if (!report.saved) state.SkipWithError("the list was not saved");
}

void BM_ScanIntoEmptyList(benchmark::State& state) {
  if (!Folder().written) return state.SkipWithError("contact folder not written");
  ContactScanReport report;
  std::unique_ptr<FeskList> list;
  for (auto _ : state) {
    state.PauseTiming();
    list = std::make_unique<FeskList>(Folder().StoragePath());
    state.ResumeTiming();
    report = Scan(*list);
  }
  Report(state, report, *list);
}
BENCHMARK(BM_ScanIntoEmptyList)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

void BM_ScanIntoListOfTheirEntries(benchmark::State& state) {
  if (!Folder().written) return state.SkipWithError("contact folder not written");
  FeskList list(Folder().StoragePath());
  Scan(list);
  ContactScanReport report;
  for (auto _ : state) report = Scan(list);
  Report(state, report, list);
}
BENCHMARK(BM_ScanIntoListOfTheirEntries)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

}  // namespace

BENCHMARK_MAIN();
