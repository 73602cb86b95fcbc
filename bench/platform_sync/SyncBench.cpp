// Costs of the named mutexes and events: an uncontended take and release, a
// set and wait of an event, and how long a waiter takes to notice that the
// process holding the mutex was killed.
#include <benchmark/benchmark.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <future>
#include <string>
#include <thread>

#include "platform/sync/NamedEvent.h"
#include "platform/sync/NamedMutex.h"

using namespace platform;

namespace {

using Clock = std::chrono::steady_clock;

// A private runtime folder for the whole run.
class PrivateRuntimeFolder {
 public:
  PrivateRuntimeFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "natalo-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    m_path = pattern;
    setenv("XDG_RUNTIME_DIR", m_path.c_str(), 1);
  }
  ~PrivateRuntimeFolder() {
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
  }

 private:
  std::string m_path;
};

void UncontendedWaitRelease(benchmark::State& state) {
  auto mutex = NamedMutex::Create(u"Bench");
  if (!mutex) {
    state.SkipWithError("cannot create the mutex");
    return;
  }
  for (auto _ : state) {
    if (mutex->Wait(0) != WaitResult::Acquired || !mutex->Release()) {
      state.SkipWithError("uncontended wait failed");
      break;
    }
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(UncontendedWaitRelease);

void EventSetWait(benchmark::State& state) {
  auto event = NamedEvent::Create(u"Bench");
  if (!event) {
    state.SkipWithError("cannot create the event");
    return;
  }
  for (auto _ : state) {
    if (!event->Set() || event->Wait(0) != WaitResult::Acquired) {
      state.SkipWithError("set and wait failed");
      break;
    }
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(EventSetWait);

void CreateAndClose(benchmark::State& state) {
  for (auto _ : state) {
    auto mutex = NamedMutex::Create(u"Bench");
    benchmark::DoNotOptimize(mutex.get());
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(CreateAndClose);

// Time from SIGKILL of the holding process until a waiting thread owns the
// mutex. Argument 0: a finite wait (polling); 1: INFINITE_WAIT (blocking).
void KilledHolderNoticed(benchmark::State& state) {
  const std::uint32_t timeout = state.range(0) == 0 ? 20000 : INFINITE_WAIT;
  for (auto _ : state) {
    int ready[2];
    if (pipe(ready) != 0) {
      state.SkipWithError("pipe failed");
      break;
    }
    const pid_t child = fork();
    if (child == 0) {
      auto held = NamedMutex::Create(u"Killed");
      const char byte = 1;
      if (!held || held->Wait(INFINITE_WAIT) != WaitResult::Acquired || write(ready[1], &byte, 1) != 1) _exit(1);
      for (;;) pause();
    }
    close(ready[1]);
    char byte = 0;
    const bool started = child > 0 && read(ready[0], &byte, 1) == 1;
    close(ready[0]);
    auto mutex = NamedMutex::Create(u"Killed");
    if (!started || !mutex) {
      if (child > 0) {
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
      }
      state.SkipWithError("holder did not start");
      break;
    }
    auto waiter = std::async(std::launch::async, [&] {
      const WaitResult result = mutex->Wait(timeout);
      const auto acquired = Clock::now();
      if (result == WaitResult::Acquired) mutex->Release();
      return std::make_pair(result, acquired);
    });
    // Let the waiter settle into its wait, as a real one would be.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const auto killed = Clock::now();
    kill(child, SIGKILL);
    const auto [result, acquired] = waiter.get();
    waitpid(child, nullptr, 0);
    if (result != WaitResult::Acquired) {
      state.SkipWithError("waiter did not acquire");
      break;
    }
    state.SetIterationTime(std::chrono::duration<double>(acquired - killed).count());
  }
}
BENCHMARK(KilledHolderNoticed)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(50);

}  // namespace

int main(int argc, char** argv) {
  PrivateRuntimeFolder folder;
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
