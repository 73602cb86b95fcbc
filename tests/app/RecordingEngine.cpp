// An engine library for application tests: it exports the entry points the
// application binds and writes one line per CalculateEvents call to the file
// named by NATALO_TEST_ENGINE_LOG. Built without CalculateEvents when
// NATALO_ENGINE_WITHOUT_CALCULATE is defined.
#include <cstdio>
#include <cstdlib>

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
