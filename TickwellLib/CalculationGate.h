#pragma once
// The two system-wide mutexes that let the calculations of all processes take
// turns: at most one process waits while another calculates.
#include <atomic>
#include <cstdint>
#include <functional>

struct EngineState;

inline constexpr std::uint32_t kCalculateWaitTimeoutMs = 180'000;

// Takes the wait mutex (without waiting), then the calculation mutex (up to
// timeoutMs), releases the wait mutex and runs `calculate` while holding the
// calculation mutex. A request that finds another process already waiting is
// dropped: that process will read the newest file. A set `stop` ends the wait
// for the calculation mutex and drops the request. Returns whether it ran.
bool CalculateUnderMutexes(const EngineState& state, const std::function<void()>& calculate,
                           std::uint32_t timeoutMs = kCalculateWaitTimeoutMs,
                           const std::atomic<bool>* stop = nullptr);
