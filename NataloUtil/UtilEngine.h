#pragma once
// The event engine as the utility uses it: Natalo.so from the program folder,
// of which only CalculateEvents is called. A library that cannot be loaded or
// lacks CalculateEvents only means that nothing is recalculated.
#include <string>

#include "TickwellLib/Tickwell.h"
#include "platform/process/Process.h"

inline constexpr int kEngineLoadAttempts = 5;
inline constexpr int kEngineLoadPauseMs = 10;

class UtilEngine {
 public:
  // Up to kEngineLoadAttempts tries, kEngineLoadPauseMs apart.
  bool Load(const std::string& programFolder);
  void Free();
  bool IsLoaded() const { return m_pfnCalculateEvents != nullptr; }
  // Calls CalculateEvents when the engine is loaded; nothing otherwise.
  void CallCalculateEvents() const;

 private:
  platform::SharedLibrary m_library;
  CalculateEventsFn m_pfnCalculateEvents = nullptr;
};
