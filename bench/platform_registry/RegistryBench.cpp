// Registry throughput: writes, reads and read-modify-write updates on one
// thread's cached connection, and the same with a fresh connection per call
// (the path alternates between two spellings of the same file, which makes
// every call open the database anew).
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "platform/registry/Registry.h"

using namespace platform;

namespace {

class BenchFolder {
 public:
  BenchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "natalo-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) m_path = pattern;
    SetRegistryFile(File());
  }
  ~BenchFolder() {
    SetRegistryFile("");
    std::error_code ec;
    if (!m_path.empty()) std::filesystem::remove_all(m_path, ec);
  }
  std::string File() const { return m_path + "/registry.db"; }
  std::string OtherSpelling() const { return m_path + "/./registry.db"; }

 private:
  std::string m_path;
};

constexpr RegistryRoot kRoot = RegistryRoot::CurrentUser;
const std::u16string kKey = u"Software\\Quorvex\\Natalo\\View";

void Reopen(const BenchFolder& folder, std::int64_t i) {
  SetRegistryFile(i % 2 == 0 ? folder.File() : folder.OtherSpelling());
}

void BM_WriteDword(benchmark::State& state) {
  BenchFolder folder;
  const bool reopen = state.range(0) != 0;
  std::uint32_t i = 0;
  for (auto _ : state) {
    if (reopen) Reopen(folder, i);
    if (!RegWriteDword(kRoot, kKey, u"Zodiac", ++i)) state.SkipWithError("write failed");
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_ReadDword(benchmark::State& state) {
  BenchFolder folder;
  const bool reopen = state.range(0) != 0;
  RegWriteDword(kRoot, kKey, u"Zodiac", 1);
  std::uint32_t value = 0;
  std::int64_t i = 0;
  for (auto _ : state) {
    if (reopen) Reopen(folder, ++i);
    if (!RegReadDword(kRoot, kKey, u"Zodiac", value)) state.SkipWithError("read failed");
    benchmark::DoNotOptimize(value);
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_UpdateDword(benchmark::State& state) {
  BenchFolder folder;
  for (auto _ : state) {
    RegUpdateValue(kRoot, kKey, u"Count", [](RegistryValue& value, bool) {
      value = RegistryValue{RegistryType::DWord, {1, 0, 0, 0}};
      return true;
    });
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_WatchPoll(benchmark::State& state) {
  BenchFolder folder;
  RegWriteDword(kRoot, kKey, u"Zodiac", 1);
  RegistryWatch watch(kRoot, kKey, u"Zodiac");
  for (auto _ : state) benchmark::DoNotOptimize(watch.Changed());
  state.SetItemsProcessed(state.iterations());
}

}  // namespace

BENCHMARK(BM_WriteDword)->Arg(0)->Arg(1);
BENCHMARK(BM_ReadDword)->Arg(0)->Arg(1);
BENCHMARK(BM_UpdateDword);
BENCHMARK(BM_WatchPoll);
