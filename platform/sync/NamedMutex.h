#pragma once
// System-wide named mutexes, shared between the threads of one process and
// between processes.
//
// A mutex is a lock file under the runtime folder ($XDG_RUNTIME_DIR, or
// /tmp/natalo-<uid> when it is unset), held with flock: when the holding process
// dies, the kernel releases the lock, so a dead holder never blocks others: a
// waiter simply acquires it (there is no "abandoned" outcome).
// Any text is a valid name; path separators become "$", and names too long for
// a file name are shortened with a hash of the whole name. Names are
// case-sensitive. Handles are not inherited by started programs; a child made
// by fork() without exec shares the parent's handles until it ends.
#include <cstdint>
#include <memory>
#include <string>

namespace platform {

inline constexpr std::uint32_t INFINITE_WAIT = 0xFFFFFFFFu;

enum class WaitResult { Acquired, TimedOut, Failed };

// Folder that holds named mutexes and events (created on demand, mode 0700),
// without a trailing separator; empty when it cannot be made or is not private.
std::string GetRuntimeFolder();

class NamedMutex {
 public:
  // Creates or opens the mutex without taking it. Returns nullptr on failure.
  // `existed` tells whether another open handle (in any process, this one
  // included) had it open. Opening is serialised per runtime folder, so of
  // handles opened at the same time exactly one sees existed == false; a
  // handle of a process that died no longer counts.
  static std::unique_ptr<NamedMutex> Create(const std::u16string& name, bool* existed = nullptr);
  ~NamedMutex();  // releases it when held, then closes it
  NamedMutex(const NamedMutex&) = delete;
  NamedMutex& operator=(const NamedMutex&) = delete;

  // Waits up to timeoutMs (INFINITE_WAIT: no limit). The owning thread may take
  // it again; each Wait that acquired needs one Release. Ownership belongs to a
  // thread: other threads using the same handle wait like any other holder.
  // A thread that ends while holding it keeps it held until the handle goes.
  // A finite wait polls with pauses of at most 2 ms; INFINITE_WAIT blocks.
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
