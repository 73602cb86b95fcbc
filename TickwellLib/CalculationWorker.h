#pragma once
// The engine's worker thread: serves calculation requests from its message queue,
// several queued requests by one calculation.
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>

class CalculationWorker {
 public:
  using Job = std::function<void()>;
  explicit CalculationWorker(Job job);
  // Stops a running worker, waiting at most kStopTimeoutMs.
  ~CalculationWorker();
  CalculationWorker(const CalculationWorker&) = delete;
  CalculationWorker& operator=(const CalculationWorker&) = delete;

  static constexpr std::uint32_t kStopTimeoutMs = 180'000;

  bool Start();
  bool IsRunning() const { return m_thread.joinable(); }
  // Queues a calculation request; false when the worker does not run.
  bool Post();
  // Asks the worker to end after its current calculation and waits for it. On
  // time-out the thread is left to finish on its own (it keeps its own state
  // alive) and the result is false.
  bool Stop(std::uint32_t timeoutMs = kStopTimeoutMs);

 private:
  struct Shared;
  Job m_job;
  std::shared_ptr<Shared> m_shared;
  std::thread m_thread;
};
