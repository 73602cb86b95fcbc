#pragma once
// The event engine library, loaded by full path from the program folder, and
// the entry points the application calls.
#include <string>

#include "TickwellLib/Tickwell.h"
#include "platform/process/Process.h"

class EngineBinding {
 public:
  // The library's path: the program folder followed by the engine's file name.
  static std::string LibraryPath(const std::string& programFolder);

  // Loads the library and binds CalculateEvents (required) and
  // GetNextEventTime. False when the library cannot be loaded or lacks
  // CalculateEvents; nothing stays loaded then.
  bool Load(const std::string& programFolder);
  void Free();
  bool IsLoaded() const { return m_library.IsOpen(); }

  // Asks the engine to recompute the reminders; false when it is not loaded.
  bool CalculateEvents() const;

  CalculateEventsFn m_pfnCalculateEvents = nullptr;
  GetNextEventTimeFn m_pfnGetNextEventTime = nullptr;

 private:
  platform::SharedLibrary m_library;
};
