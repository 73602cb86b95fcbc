#include "TickwellLib/EngineLibrary.h"

#include "TickwellLib/CalculationGate.h"
#include "TickwellLib/EngineStorageLoad.h"
#include "TickwellLib/EngineLog.h"
#include "TickwellLib/EventCalculation.h"

EngineLibrary::EngineLibrary(const std::string& folder)
    : m_state(MakeEngineState(folder)), m_worker([this](const std::atomic<bool>& stopping) {
        const EngineState& state = State();
        CalculateUnderMutexes(
            state, [&] { RunCalculation(state, &stopping); }, kCalculateWaitTimeoutMs, &stopping);
      }) {
  m_worker.Start();
}

platform::NamedMutex* EngineLibrary::StorageMutex() {
  std::lock_guard<std::mutex> lock(m_storageMutexGuard);
  if (!m_storageMutex && !m_state.storagePath.empty()) m_storageMutex = OpenStorageMutex(m_state.storagePath);
  return m_storageMutex.get();
}

const EngineState& EngineLibrary::State() {
  std::call_once(m_initialized, [this] {
    if (!m_state.folder.empty()) OpenEngineLog(m_state.folder);
    ReadPluginIdentifier(m_state);
  });
  return m_state;
}
