#pragma once
// The engine's worker thread: serves calculation requests from its message queue,
// several queued requests by one calculation.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>

class CalculationWorker {
 public:
  // The job is told through `stopping` that the worker is being stopped; it
  // should then leave its waits and end soon.
  using Job = std::function<void(const std::atomic<bool>& stopping)>;
  explicit CalculationWorker(Job job);
  // Stops a running worker, waiting at most kStopTimeoutMs.
  ~CalculationWorker();
  CalculationWorker(const CalculationWorker&) = delete;
  CalculationWorker& operator=(const CalculationWorker&) = delete;

  static constexpr std::uint32_t kStopTimeoutMs = 180'000;

  // False when the thread cannot be started; the worker then does not run.
  bool Start();
  bool IsRunning() const { return m_thread.joinable(); }
  // Queues a calculation request; false when the worker does not run.
  bool Post();
  // Asks the worker to end after the requests already queued and waits for it.
  // When it has not ended within timeoutMs the time-out is logged, the job is
  // told to leave its waits, and the wait goes on until the thread has ended:
  // it runs the library's code, which must not be unloaded under it. The
  // result says whether it ended in time.
  bool Stop(std::uint32_t timeoutMs = kStopTimeoutMs);

 private:
  struct Shared;
  Job m_job;
  std::shared_ptr<Shared> m_shared;
  std::thread m_thread;
};
