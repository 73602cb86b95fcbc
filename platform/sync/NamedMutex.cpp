#include "platform/sync/NamedMutex.h"

#include <sys/file.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <limits>
#include <mutex>
#include <thread>

#include "platform/file/UniqueFd.h"
#include "platform/sync/SyncObjectFiles.h"

namespace platform {
namespace {

using Clock = std::chrono::steady_clock;

// A finite wait polls the lock with growing pauses: the first retries come
// quickly for short holds, and a long wait costs a few hundred wake-ups per
// second at most. A wait without limit blocks in the kernel instead.
constexpr auto kFirstPause = std::chrono::microseconds(50);
constexpr auto kLongestPause = std::chrono::microseconds(2000);

WaitResult TakeFileLock(int fd, std::uint32_t timeoutMs, Clock::time_point deadline) {
  if (timeoutMs == INFINITE_WAIT) {
    while (flock(fd, LOCK_EX) != 0) {
      if (errno != EINTR) return WaitResult::Failed;
    }
    return WaitResult::Acquired;
  }
  auto pause = std::chrono::duration_cast<Clock::duration>(kFirstPause);
  for (;;) {
    if (flock(fd, LOCK_EX | LOCK_NB) == 0) return WaitResult::Acquired;
    if (errno != EWOULDBLOCK && errno != EINTR) return WaitResult::Failed;
    const auto now = Clock::now();
    if (now >= deadline) return WaitResult::TimedOut;
    std::this_thread::sleep_for(std::min(pause, deadline - now));
    pause = std::min(pause * 2, std::chrono::duration_cast<Clock::duration>(kLongestPause));
  }
}

}  // namespace

// flock excludes open file descriptions, not threads, so the threads sharing
// one handle take turns here first: `busy` is set from the moment a thread
// starts taking the file lock until its last Release.
struct NamedMutex::Impl {
  UniqueFd holders;
  UniqueFd lock;
  std::mutex guard;
  std::condition_variable freed;
  bool busy = false;
  std::thread::id owner;
  std::uint32_t count = 0;  // 0 while the owner is still taking the file lock
};

NamedMutex::NamedMutex(std::unique_ptr<Impl> impl) : m_impl(std::move(impl)) {}

NamedMutex::~NamedMutex() {
  // Unlock explicitly: a forked child may share the descriptor and would
  // otherwise keep the lock after this handle is gone.
  if (m_impl->busy && m_impl->count > 0) flock(m_impl->lock.Get(), LOCK_UN);
}

std::unique_ptr<NamedMutex> NamedMutex::Create(const std::u16string& name, bool* existed) {
  if (existed != nullptr) *existed = false;
  const std::string folder = GetRuntimeFolder();
  if (folder.empty()) return nullptr;
  auto impl = std::make_unique<Impl>();
  bool wasHeld = false;
  {
    sync_files::FolderGate gate(folder);
    if (!gate.Held()) return nullptr;
    impl->holders =
        sync_files::JoinHolders(folder + "/" + sync_files::ObjectFileName("mutex-holders", name), false, &wasHeld);
    if (!impl->holders.IsOpen()) return nullptr;
  }
  impl->lock = sync_files::OpenLockFile(folder + "/" + sync_files::ObjectFileName("mutex", name));
  if (!impl->lock.IsOpen()) return nullptr;
  if (existed != nullptr) *existed = wasHeld;
  return std::unique_ptr<NamedMutex>(new NamedMutex(std::move(impl)));
}

WaitResult NamedMutex::Wait(std::uint32_t timeoutMs) {
  Impl& d = *m_impl;
  const auto self = std::this_thread::get_id();
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  std::unique_lock<std::mutex> lk(d.guard);
  if (d.busy && d.owner == self) {
    if (d.count == std::numeric_limits<std::uint32_t>::max()) return WaitResult::Failed;
    ++d.count;
    return WaitResult::Acquired;
  }
  if (timeoutMs == INFINITE_WAIT) {
    d.freed.wait(lk, [&] { return !d.busy; });
  } else if (!d.freed.wait_until(lk, deadline, [&] { return !d.busy; })) {
    return WaitResult::TimedOut;
  }
  d.busy = true;
  d.owner = self;
  d.count = 0;
  lk.unlock();
  const WaitResult result = TakeFileLock(d.lock.Get(), timeoutMs, deadline);
  lk.lock();
  if (result == WaitResult::Acquired) {
    d.count = 1;
  } else {
    d.busy = false;
    d.owner = {};
    d.freed.notify_one();
  }
  return result;
}

bool NamedMutex::Release() {
  Impl& d = *m_impl;
  std::lock_guard<std::mutex> lk(d.guard);
  if (!d.busy || d.owner != std::this_thread::get_id() || d.count == 0) return false;
  if (--d.count > 0) return true;
  flock(d.lock.Get(), LOCK_UN);
  d.busy = false;
  d.owner = {};
  d.freed.notify_one();
  return true;
}

}  // namespace platform
