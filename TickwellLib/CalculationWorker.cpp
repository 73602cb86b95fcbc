#include "TickwellLib/CalculationWorker.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <system_error>

#include "TickwellLib/MessageQueue.h"
#include "common/log/Log.h"

struct CalculationWorker::Shared {
  Job job;
  MessageQueue queue;
  std::mutex exitMutex;
  std::condition_variable exitSignal;  // the exit event: set once, when the thread ends
  bool exited = false;
  std::atomic<bool> stopping{false};
};

CalculationWorker::CalculationWorker(Job job) : m_job(std::move(job)) {}

CalculationWorker::~CalculationWorker() { Stop(); }

bool CalculationWorker::Start() {
  if (m_thread.joinable()) return true;
  // A fresh state per thread: a thread left running after a timed-out stop keeps its own.
  m_shared = std::make_shared<Shared>();
  m_shared->job = m_job;
  auto shared = m_shared;
  try {
    m_thread = std::thread([shared] {
      for (;;) {
        const std::uint32_t message = shared->queue.Get();
        if (message == kQuitMessage || shared->stopping) break;
        if (message != kCalculateMessage) continue;
        // Requests that piled up meanwhile are served by this calculation.
        shared->queue.RemoveAll(kCalculateMessage);
        shared->job(shared->stopping);
      }
      std::lock_guard lock(shared->exitMutex);
      shared->exited = true;
      shared->exitSignal.notify_all();
    });
  } catch (const std::system_error&) {
    WriteLog("Can't start the calculation thread");
    m_shared.reset();
    return false;
  }
  std::this_thread::yield();
  return true;
}

bool CalculationWorker::Post() {
  if (!m_thread.joinable()) return false;
  m_shared->queue.Post(kCalculateMessage);
  return true;
}

bool CalculationWorker::Stop(std::uint32_t timeoutMs) {
  if (!m_thread.joinable()) return true;
  // The quit message queues behind the requests posted before it, so a program
  // that asks for a calculation and then unloads the engine still gets it (the
  // reminder utility does exactly that after a snooze). Only a worker that has
  // not ended within the time-out is told to leave its waits.
  m_shared->queue.Post(kQuitMessage);
  bool ended = false;
  {
    std::unique_lock lock(m_shared->exitMutex);
    ended = m_shared->exitSignal.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return m_shared->exited; });
  }
  if (!ended) {
    WriteLog("StopAsyncCalculateEventsThread timeout");
    m_shared->stopping = true;
  }
  m_thread.join();
  return ended;
}
