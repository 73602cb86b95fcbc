// An engine library for application tests: it exports the entry points the
// application binds and writes one line per CalculateEvents call to the file
// named by NATALO_TEST_ENGINE_LOG. Built without CalculateEvents when
// NATALO_ENGINE_WITHOUT_CALCULATE is defined. Unloading it takes the
// milliseconds given in NATALO_TEST_ENGINE_UNLOAD_MS, as a real engine does
// while a calculation is still running.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "TickwellLib/Tickwell.h"

extern "C" {

#ifndef NATALO_ENGINE_WITHOUT_CALCULATE
__attribute__((visibility("default"))) int32_t CalculateEvents(void) {
  if (const char* path = std::getenv("NATALO_TEST_ENGINE_LOG")) {
    if (FILE* log = std::fopen(path, "a")) {
      std::fputs("calculate\n", log);
      std::fclose(log);
    }
  }
  return 1;
}
#endif

__attribute__((visibility("default"))) uint64_t GetNextEventTime(const ScheduleFields* item) {
  return item == nullptr ? 0 : item->m_ftStart;
}
}

__attribute__((destructor)) static void UnloadSlowly() {
  if (const char* ms = std::getenv("NATALO_TEST_ENGINE_UNLOAD_MS")) {
    std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(ms)));
  }
}
