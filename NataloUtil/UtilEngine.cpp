#include "NataloUtil/UtilEngine.h"

#include <chrono>
#include <thread>

#include "common/log/Log.h"
#include "platform/folder/ProgramFolder.h"

bool UtilEngine::Load(const std::string& programFolder) {
  Free();
  const std::string path = programFolder + platform::MapPlatformFileName("Natalo.dll");
  for (int attempt = 1; attempt <= kEngineLoadAttempts; ++attempt) {
    if (m_library.Open(path)) break;
    if (attempt < kEngineLoadAttempts) std::this_thread::sleep_for(std::chrono::milliseconds(kEngineLoadPauseMs));
  }
  if (!m_library.IsOpen()) {
    WriteLog("Engine library not loaded: %s", m_library.Error().c_str());
    return false;
  }
  m_pfnCalculateEvents = m_library.Function<CalculateEventsFn>("CalculateEvents", TICKWELL_VERSION_NODE);
  if (!m_pfnCalculateEvents) {
    WriteLog("Engine library without CalculateEvents");
    m_library.Close();
    return false;
  }
  return true;
}

void UtilEngine::Free() {
  m_pfnCalculateEvents = nullptr;
  m_library.Close();
}

void UtilEngine::CallCalculateEvents() const {
  if (m_pfnCalculateEvents) m_pfnCalculateEvents();
}
