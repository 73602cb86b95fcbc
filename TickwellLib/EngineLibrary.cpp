#include "TickwellLib/EngineLibrary.h"

#include "TickwellLib/CalculationGate.h"
#include "TickwellLib/EngineStorageLoad.h"
#include "TickwellLib/EngineLog.h"
#include "TickwellLib/EventCalculation.h"
#include "common/store/StorageMove.h"
#include "platform/folder/DataFolder.h"

EngineLibrary::EngineLibrary(const std::string& folder)
    : m_state(MakeEngineState(folder, platform::DataFolderPath())), m_worker([this](const std::atomic<bool>& stopping) {
        const EngineState& state = State();
        CalculateUnderMutexes(
            state, [&] { RunCalculation(state, &stopping); }, kCalculateWaitTimeoutMs, &stopping);
      }) {
  m_worker.Start();
}

platform::NamedMutex* EngineLibrary::StorageMutex() {
  State();
  std::lock_guard<std::mutex> lock(m_storageMutexGuard);
  if (!m_storageMutex && !m_state.storagePath.empty()) m_storageMutex = OpenStorageMutex(m_state.storagePath);
  return m_storageMutex.get();
}

const EngineState& EngineLibrary::State() {
  std::call_once(m_initialized, [this] {
    // The programs that load the engine have made the data folder ready; this
    // covers any other caller. Without it the engine reads no storage and
    // leaves the armed notifications alone.
    std::string message;
    const std::string dataFolder = m_state.folder.empty() ? std::string() : PrepareDataFolder(m_state.folder, message);
    if (dataFolder.empty()) {
      m_state.dataFolder.clear();
      m_state.storagePath.clear();
    } else {
      OpenEngineLog(dataFolder);
    }
    if (!message.empty()) WriteLog("%s", message.c_str());
    ReadPluginIdentifier(m_state);
  });
  return m_state;
}
