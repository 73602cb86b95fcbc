// The library's entry points and its life in a process.
#include <cstdlib>
#include <thread>

#include "TickwellLib/EngineEvents.h"
#include "TickwellLib/EngineLibrary.h"
#include "TickwellLib/EngineState.h"
#include "TickwellLib/NextEventTime.h"
#include "TickwellLib/Tickwell.h"
#include "common/log/Log.h"
#include "platform/folder/ProgramFolder.h"
#include "platform/registry/SqliteOnDemand.h"

namespace {

EngineLibrary* g_engine = nullptr;
bool g_processEnding = false;

// Registered when the library is loaded. exit() runs it before the libraries'
// destructor functions; dlclose() runs a library's atexit handlers only after
// its destructor functions, so the flag tells the two apart.
void NoteProcessEnd() { g_processEnding = true; }

__attribute__((constructor)) void LoadEngine() {
  std::atexit(NoteProcessEnd);
  const std::string folder = platform::GetModuleFolder(reinterpret_cast<const void*>(&LoadEngine));
  g_engine = new EngineLibrary(folder);
}

// At process end the worker may be waiting up to 180 s for another process's
// calculation; it is left to end with the process and its state is not freed.
__attribute__((destructor)) void UnloadEngine() {
  if (g_processEnding) return;
  delete g_engine;
  g_engine = nullptr;
}

}  // namespace

extern "C" {

uint64_t GetNextEventTime(const ScheduleFields* item) {
  if (item == nullptr) return 0;
  return NextEventTime(*item, platform::GetLocalFileTime());
}

int32_t GetActiveEvents(int32_t* count, int32_t* nearest, EngineItem*** events) {
  if (g_engine == nullptr || count == nullptr || nearest == nullptr || events == nullptr) return 1;
  const EngineState& state = g_engine->State();
  if (state.storagePath.empty()) return 1;
  if (!IsStorageActive(state)) {
    WriteLog("Storage isn't active: %s %d", state.storagePath.c_str(), 0);
    return 1;
  }
  ActiveEventArray result;
  ReadActiveEvents(state.storagePath, platform::GetLocalFileTime() + 1, result, kEngineLockTimeoutMs,
                   g_engine->StorageMutex());
  if (result.count == 0) {
    WriteLog("No events, storage %s", state.storagePath.c_str());
    return 1;
  }
  *count = result.count;
  *nearest = result.nearest;
  *events = result.items;
  WriteLog("Done, %d, %d", result.count, result.nearest);
  return 1;
}

void ReleaseActiveEvents(int32_t count, EngineItem** events) { ReleaseActiveEventArray(count, events); }

int32_t CalculateEvents(void) {
  // The worker reads the registry, and it may still run while the library is
  // being unloaded, when loading SQLite would wait for the unload forever.
  LoadSqliteOnDemand();
  const bool posted = g_engine != nullptr && g_engine->RequestCalculation();
  std::this_thread::yield();
  return posted ? 1 : 0;
}

}  // extern "C"
