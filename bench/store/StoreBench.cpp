// Load and Save of a storage file with 100,000 items.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "common/store/Recurrence.h"
#include "tests/store/ExtendedItem.h"

namespace {

using storetest::ExtendedItem;
using storetest::ExtendedList;

constexpr int kItems = 100'000;

class Folder {
 public:
  Folder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "natalo-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    m_path = pattern;
  }
  ~Folder() { std::filesystem::remove_all(m_path); }
  std::string File() const { return (m_path / "storage.dat").string(); }

 private:
  std::filesystem::path m_path;
};

// Records of the size of date entries: the base record and a 40-byte block.
void FillList(ExtendedList& list) {
  for (int i = 0; i < kItems; ++i) {
    auto item = std::make_unique<ExtendedItem>();
    item->m_dwKind = (i % 10 == 0) ? Monthly : Yearly;
    item->m_ext.assign(40, static_cast<std::uint8_t>(i));
    list.Add(std::move(item));
  }
}

void BM_Save100k(benchmark::State& state) {
  Folder folder;
  ExtendedList list(folder.File());
  FillList(list);
  for (auto _ : state) {
    if (!list.Save()) state.SkipWithError("save failed");
  }
  state.SetItemsProcessed(state.iterations() * kItems);
}
BENCHMARK(BM_Save100k)->Unit(benchmark::kMillisecond);

void BM_Load100k(benchmark::State& state) {
  Folder folder;
  {
    ExtendedList list(folder.File());
    FillList(list);
    if (!list.Save()) state.SkipWithError("save failed");
  }
  ExtendedList list(folder.File());
  for (auto _ : state) {
    if (!list.Load() || list.Count() != kItems) state.SkipWithError("load failed");
  }
  state.SetItemsProcessed(state.iterations() * kItems);
}
BENCHMARK(BM_Load100k)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
