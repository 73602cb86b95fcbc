#include "platform/sync/NamedEvent.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>

#include "platform/file/UniqueFd.h"
#include "platform/sync/SyncObjectFiles.h"

namespace platform {
namespace {

using Clock = std::chrono::steady_clock;

// Milliseconds left for poll(), rounded up so that a wait never ends early
// and never spins in its last millisecond.
int PollTimeout(std::uint32_t timeoutMs, Clock::time_point deadline) {
  if (timeoutMs == INFINITE_WAIT) return -1;
  const auto left = deadline - Clock::now();
  if (left <= Clock::duration::zero()) return 0;
  const auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
  return ms > INT_MAX ? INT_MAX : static_cast<int>(ms);
}

// Takes every pending byte: one wake-up resets the event however often it
// was set. False when another waiter was quicker.
bool Drain(int fd) {
  bool got = false;
  char buffer[64];
  for (;;) {
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n > 0) {
      got = true;
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else {
      return got;
    }
  }
}

UniqueFd OpenFifo(const std::string& path, bool mayCreate) {
  if (mayCreate && mkfifo(path.c_str(), 0600) != 0 && errno != EEXIST) return {};
  // Read and write access never blocks in open() and keeps the pipe, and the
  // bytes in it, alive while any handle is open.
  UniqueFd fd(open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW));
  struct stat st {};
  if (!fd.IsOpen() || fstat(fd.Get(), &st) != 0 || !S_ISFIFO(st.st_mode)) return {};
  return fd;
}

// Waits until one of the descriptors is signalled and takes that signal.
// Returns its index, -1 on time-out, -2 on failure.
int WaitForSignal(const int* fds, int count, std::uint32_t timeoutMs) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    pollfd polled[2] = {};
    for (int i = 0; i < count; ++i) {
      polled[i].fd = fds[i];
      polled[i].events = POLLIN;
    }
    const int ready = poll(polled, static_cast<nfds_t>(count), PollTimeout(timeoutMs, deadline));
    if (ready < 0) {
      if (errno == EINTR) continue;
      return -2;
    }
    for (int i = 0; i < count; ++i) {
      if ((polled[i].revents & POLLIN) != 0 && Drain(fds[i])) return i;
      if ((polled[i].revents & (POLLERR | POLLNVAL)) != 0) return -2;
    }
    if (ready == 0 && timeoutMs != INFINITE_WAIT && Clock::now() >= deadline) return -1;
  }
}
}  // namespace

// Each handle holds the event's FIFO open for reading and writing, and a
// shared lock on its holder file. Set writes one byte; a waiter polls the
// FIFO and drains it, so one waiter wakes per Set and setting a signalled
// event changes nothing. When several waiters share an event and two Sets
// come before the first waiter drained, both are taken by that one waiter.
struct NamedEvent::Impl {
  UniqueFd holders;
  UniqueFd fifo;

  static std::unique_ptr<Impl> Open(const std::u16string& name, bool create, bool* existed);
};

std::unique_ptr<NamedEvent::Impl> NamedEvent::Impl::Open(const std::u16string& name, bool create,
                                                         bool* existed) {
  const std::string folder = GetRuntimeFolder();
  if (folder.empty()) return nullptr;
  auto impl = std::make_unique<Impl>();
  // The FIFO is opened under the gate as well, so that an Open never finds a
  // holder whose FIFO does not exist yet.
  sync_files::FolderGate gate(folder);
  if (!gate.Held()) return nullptr;
  impl->holders = sync_files::JoinHolders(folder + "/" + sync_files::ObjectFileName("event-holders", name),
                                          !create, existed);
  if (!impl->holders.IsOpen()) return nullptr;
  impl->fifo = OpenFifo(folder + "/" + sync_files::ObjectFileName("event", name), create);
  if (!impl->fifo.IsOpen()) return nullptr;
  // The kernel drops a FIFO's bytes when its last user closes it; draining a
  // new event anyway keeps "created not signalled" independent of that.
  if (!*existed) Drain(impl->fifo.Get());
  return impl;
}

NamedEvent::NamedEvent(std::unique_ptr<Impl> impl) : m_impl(std::move(impl)) {}

NamedEvent::~NamedEvent() = default;

std::unique_ptr<NamedEvent> NamedEvent::Create(const std::u16string& name, bool* existed) {
  bool wasHeld = false;
  auto impl = Impl::Open(name, true, &wasHeld);
  if (existed != nullptr) *existed = impl != nullptr && wasHeld;
  if (impl == nullptr) return nullptr;
  return std::unique_ptr<NamedEvent>(new NamedEvent(std::move(impl)));
}

std::unique_ptr<NamedEvent> NamedEvent::Open(const std::u16string& name) {
  bool wasHeld = false;
  auto impl = Impl::Open(name, false, &wasHeld);
  if (impl == nullptr) return nullptr;
  return std::unique_ptr<NamedEvent>(new NamedEvent(std::move(impl)));
}

bool NamedEvent::Set() {
  const char signal = 1;
  for (;;) {
    if (write(m_impl->fifo.Get(), &signal, 1) == 1) return true;
    // A full pipe is a signalled event.
    if (errno == EAGAIN) return true;
    if (errno != EINTR) return false;
  }
}

WaitResult NamedEvent::Wait(std::uint32_t timeoutMs) {
  const int fd = m_impl->fifo.Get();
  switch (WaitForSignal(&fd, 1, timeoutMs)) {
    case 0:
      return WaitResult::Acquired;
    case -1:
      return WaitResult::TimedOut;
    default:
      return WaitResult::Failed;
  }
}

int NamedEvent::WaitAny(NamedEvent& first, NamedEvent& second, std::uint32_t timeoutMs) {
  const int fds[2] = {first.m_impl->fifo.Get(), second.m_impl->fifo.Get()};
  return WaitForSignal(fds, 2, timeoutMs);
}

}  // namespace platform
