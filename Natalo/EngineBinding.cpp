#include "Natalo/EngineBinding.h"

#include "common/store/EngineCalls.h"
#include "platform/folder/ProgramFolder.h"

std::string EngineBinding::LibraryPath(const std::string& programFolder) {
  return programFolder + platform::MapPlatformFileName("Natalo.dll");
}

bool EngineBinding::Load(const std::string& programFolder) {
  Free();
  if (!m_library.Open(LibraryPath(programFolder))) return false;
  m_pfnCalculateEvents = m_library.Function<CalculateEventsFn>("CalculateEvents", TICKWELL_VERSION_NODE);
  if (m_pfnCalculateEvents == nullptr) {
    Free();
    return false;
  }
  m_pfnGetNextEventTime = m_library.Function<GetNextEventTimeFn>("GetNextEventTime", TICKWELL_VERSION_NODE);
  BindEngineCalls(m_pfnCalculateEvents, m_pfnGetNextEventTime);
  return true;
}

void EngineBinding::Free() {
  BindEngineCalls(nullptr, nullptr);
  m_pfnCalculateEvents = nullptr;
  m_pfnGetNextEventTime = nullptr;
  m_library.Close();
}

bool EngineBinding::CalculateEvents() const {
  if (m_pfnCalculateEvents == nullptr) return false;
  m_pfnCalculateEvents();
  return true;
}
