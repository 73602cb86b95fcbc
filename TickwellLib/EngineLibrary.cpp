#include "TickwellLib/EngineLibrary.h"

#include "TickwellLib/CalculationGate.h"
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

const EngineState& EngineLibrary::State() {
  std::call_once(m_initialized, [this] {
    if (!m_state.folder.empty()) OpenEngineLog(m_state.folder);
    ReadPluginIdentifier(m_state);
  });
  return m_state;
}
