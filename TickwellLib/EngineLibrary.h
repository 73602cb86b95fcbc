#pragma once
// The library-wide state of a loaded engine and its worker thread.
#include <memory>
#include <mutex>
#include <string>

#include "TickwellLib/CalculationWorker.h"
#include "TickwellLib/EngineState.h"
#include "platform/sync/NamedMutex.h"

class EngineLibrary {
 public:
  // Computes the paths and names for the engine folder and starts the worker.
  // Runs while the library is being loaded, possibly before the static objects
  // of the modules linked into it exist: it touches none of them.
  explicit EngineLibrary(const std::string& folder);
  // Stops the worker: a calculation waiting for a mutex gives up at once, one in
  // progress is waited for, however long it takes, since the worker runs this
  // object's and the library's code.
  ~EngineLibrary() = default;
  EngineLibrary(const EngineLibrary&) = delete;
  EngineLibrary& operator=(const EngineLibrary&) = delete;

  // The state, with the log opened and the plug-in identifier read on first use.
  const EngineState& State();
  // The storage mutex GetActiveEvents takes, opened on first use and kept;
  // null while it cannot be opened.
  platform::NamedMutex* StorageMutex();
  // Queues a calculation; false when the worker does not run (its thread could
  // not be started).
  bool RequestCalculation() { return m_worker.Post(); }

 private:
  EngineState m_state;
  std::once_flag m_initialized;
  std::mutex m_storageMutexGuard;
  std::unique_ptr<platform::NamedMutex> m_storageMutex;
  CalculationWorker m_worker;
};
