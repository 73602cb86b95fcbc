/* The engine's public header compiled as C: the record layout seen from C. */
#include <stddef.h>

#include "TickwellLib/Tickwell.h"

/* Offsets and sizes of the shared records, for comparison with C++. */
size_t TickwellLayoutFromC(size_t* values, size_t capacity) {
  const size_t layout[] = {sizeof(ScheduleFields),
                           offsetof(ScheduleFields, m_ftStart),
                           offsetof(ScheduleFields, m_nUID),
                           offsetof(ScheduleFields, m_ftSnooze),
                           offsetof(ScheduleFields, m_ftNext),
                           offsetof(ScheduleFields, m_dwWeekDay),
                           sizeof(EngineItem),
                           offsetof(EngineItem, m_wExtLength),
                           offsetof(EngineItem, m_pExtData)};
  size_t i;
  GetNextEventTimeFn next = NULL;
  GetActiveEventsFn active = NULL;
  ReleaseActiveEventsFn release = NULL;
  CalculateEventsFn calculate = NULL;
  (void)next;
  (void)active;
  (void)release;
  (void)calculate;
  for (i = 0; i < capacity && i < sizeof layout / sizeof layout[0]; ++i) values[i] = layout[i];
  return sizeof layout / sizeof layout[0];
}
