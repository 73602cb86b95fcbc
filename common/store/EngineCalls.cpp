#include "common/store/EngineCalls.h"

#include "common/store/StorageItem.h"

namespace {
CalculateEventsFunction g_calculateEvents = nullptr;
NextEventTimeFunction g_nextEventTime = nullptr;

std::uint64_t NextTime(const StorageItem& item) {
  return g_nextEventTime != nullptr ? g_nextEventTime(item.Fields()) : item.m_ftStart;
}
}  // namespace

void BindEngineCalls(CalculateEventsFunction calculateEvents, NextEventTimeFunction nextEventTime) {
  g_calculateEvents = calculateEvents;
  g_nextEventTime = nextEventTime;
}

void RequestCalculation() {
  if (g_calculateEvents != nullptr) g_calculateEvents();
}

int CompareByNextTime(const StorageItem& a, const StorageItem& b) {
  const std::uint64_t timeA = NextTime(a);
  const std::uint64_t timeB = NextTime(b);
  if (timeA == timeB) return 0;
  return timeA < timeB ? -1 : 1;
}
