#include "TickwellLib/InterruptibleWait.h"

#include <algorithm>
#include <chrono>

using platform::WaitResult;

WaitResult WaitUnlessStopped(platform::NamedMutex& mutex, std::uint32_t timeoutMs, const std::atomic<bool>* stop) {
  if (stop == nullptr) return mutex.Wait(timeoutMs);
  constexpr std::uint32_t kSliceMs = 20;
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    if (stop->load()) return WaitResult::TimedOut;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    const auto slice = static_cast<std::uint32_t>(std::clamp<long long>(left, 0, kSliceMs));
    const WaitResult result = mutex.Wait(slice);
    if (result != WaitResult::TimedOut || left <= 0) return result;
  }
}
