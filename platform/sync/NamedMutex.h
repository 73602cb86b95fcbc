#pragma once
// System-wide named mutexes, shared between the threads of one process and
// between processes.
//
// A mutex is a lock file under the runtime folder ($XDG_RUNTIME_DIR, or
// /tmp/natalo-<uid> when it is unset), held with flock: when the holding process
// dies, the kernel releases the lock, so a dead holder never blocks others.
// Any text is a valid name; path separators become "$".
#include <cstdint>
#include <memory>
#include <string>

namespace platform {

inline constexpr std::uint32_t INFINITE_WAIT = 0xFFFFFFFFu;

enum class WaitResult { Acquired, TimedOut, Failed };

// Folder that holds named mutexes and events (created on demand, mode 0700).
std::string GetRuntimeFolder();

class NamedMutex {
 public:
  // Creates or opens the mutex without taking it. Returns nullptr on failure.
  // `existed` tells whether another open handle (in any process) had it open.
  static std::unique_ptr<NamedMutex> Create(const std::u16string& name, bool* existed = nullptr);
  ~NamedMutex();  // releases it when held, then closes it
  NamedMutex(const NamedMutex&) = delete;
  NamedMutex& operator=(const NamedMutex&) = delete;

  // Waits up to timeoutMs (INFINITE_WAIT: no limit). The owning thread may take
  // it again; each Wait that acquired needs one Release.
  WaitResult Wait(std::uint32_t timeoutMs);
  // False when the calling thread does not hold it.
  bool Release();

 private:
  struct Impl;
  explicit NamedMutex(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> m_impl;
};

// Holds a taken mutex for a scope.
class NamedMutexLock {
 public:
  NamedMutexLock(NamedMutex& mutex, std::uint32_t timeoutMs) : m_mutex(mutex), m_result(mutex.Wait(timeoutMs)) {}
  ~NamedMutexLock() {
    if (m_result == WaitResult::Acquired) m_mutex.Release();
  }
  NamedMutexLock(const NamedMutexLock&) = delete;
  NamedMutexLock& operator=(const NamedMutexLock&) = delete;
  bool Acquired() const { return m_result == WaitResult::Acquired; }
  WaitResult Result() const { return m_result; }

 private:
  NamedMutex& m_mutex;
  WaitResult m_result;
};

}  // namespace platform
