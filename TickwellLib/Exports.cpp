// The library's entry points and its life in a process.
#include <cstdlib>
#include <thread>

#include "TickwellLib/ActiveEvents.h"
#include "TickwellLib/EngineLibrary.h"
#include "TickwellLib/NextEventTime.h"
#include "TickwellLib/Tickwell.h"
#include "common/log/Log.h"
#include "platform/folder/ProgramFolder.h"

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
  if (g_engine == nullptr) return 1;
  CollectedEvents collected;
  if (!CollectActiveEvents(g_engine->State(), platform::GetLocalFileTime() + 1, collected)) return 1;
  const auto total = static_cast<int32_t>(collected.items.size());
  EngineItem** array = ToEngineItemArray(collected.items);
  if (array == nullptr) return 1;
  if (count == nullptr || nearest == nullptr || events == nullptr) {
    FreeEngineItemArray(total, array);
    return 1;
  }
  *count = total;
  *nearest = collected.nearest;
  *events = array;
  WriteLog("Done, %d, %d", total, collected.nearest);
  return 1;
}

void ReleaseActiveEvents(int32_t count, EngineItem** events) { FreeEngineItemArray(count, events); }

int32_t CalculateEvents(void) {
  const bool posted = g_engine != nullptr && g_engine->RequestCalculation();
  std::this_thread::yield();
  return posted ? 1 : 0;
}

}  // extern "C"
