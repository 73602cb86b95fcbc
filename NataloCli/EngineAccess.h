#pragma once
// The event engine, Natalo.so in the program folder, reached through its C
// exports only.
#include <cstdint>
#include <vector>

#include "TickwellLib/Tickwell.h"
#include "platform/process/Process.h"

struct ActiveEvents {
  NataloFileTime moment = 0;        // the earliest reminder moment
  std::vector<std::int32_t> uids;   // the entries due then, in the engine's order
};

class EngineAccess {
 public:
  // False when the library or one of its exports is missing.
  bool Load();
  // The entries of the earliest moment the engine would remind of; none when
  // nothing is armed.
  ActiveEvents NextEvents() const;
  // Asks the engine to arm the reminders anew and waits until it has done so,
  // since the calculation runs on the engine's own thread and would end with
  // this process.
  void CalculateEventsAndWait() const;

 private:
  platform::SharedLibrary m_library;
  GetActiveEventsFn m_pfnGetActiveEvents = nullptr;
  ReleaseActiveEventsFn m_pfnReleaseActiveEvents = nullptr;
  CalculateEventsFn m_pfnCalculateEvents = nullptr;
};
