#include "TickwellLib/CalculationGate.h"

#include "TickwellLib/EngineState.h"
#include "TickwellLib/InterruptibleWait.h"
#include "common/log/Log.h"
#include "platform/sync/NamedMutex.h"

using platform::NamedMutex;
using platform::WaitResult;

bool CalculateUnderMutexes(const EngineState& state, const std::function<void()>& calculate, std::uint32_t timeoutMs,
                           const std::atomic<bool>* stop) {
  auto wait = NamedMutex::Create(state.waitMutexName);
  if (!wait) {
    WriteLog("Can't create wait-mutex");
    return false;
  }
  if (wait->Wait(0) != WaitResult::Acquired) {
    WriteLog("Can't catch wait mutex. Other process is waiting.");
    return false;
  }
  auto calc = NamedMutex::Create(state.calculateMutexName);
  if (!calc) {
    WriteLog("Can't create file-mutex");
    wait->Release();
    return false;
  }
  if (WaitUnlessStopped(*calc, timeoutMs, stop) != WaitResult::Acquired) {
    WriteLog("Can't catch file-mutex");
    wait->Release();
    return false;
  }
  wait->Release();
  wait.reset();
  calculate();
  calc->Release();
  return true;
}
