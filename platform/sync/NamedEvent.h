#pragma once
// System-wide named auto-reset events.
//
// An event exists while at least one live process holds a handle to it; when the
// last holder ends, crash included, it is gone, and Open fails at once. Set wakes
// exactly one waiter, or stays signalled until the next wait; setting a signalled
// event again changes nothing. Each open handle keeps the event in existence;
// names map to files as those of named mutexes do.
//
// Wake-ups: when several threads wait on one event and it is set twice before
// the first woken waiter has reset it, that waiter takes both signals.
#include <cstdint>
#include <memory>
#include <string>

#include "platform/sync/NamedMutex.h"

namespace platform {

class NamedEvent {
 public:
  // Creates the event, or opens it when it exists. Returns nullptr on failure.
  static std::unique_ptr<NamedEvent> Create(const std::u16string& name, bool* existed = nullptr);
  // Opens an existing event; nullptr when no live process holds it.
  static std::unique_ptr<NamedEvent> Open(const std::u16string& name);
  ~NamedEvent();
  NamedEvent(const NamedEvent&) = delete;
  NamedEvent& operator=(const NamedEvent&) = delete;

  bool Set();
  // Acquired means signalled (and reset again).
  WaitResult Wait(std::uint32_t timeoutMs);

  // Waits on two events at once. Returns 0 or 1 for the one that was signalled
  // (the first when both are), -1 on time-out, -2 on failure.
  static int WaitAny(NamedEvent& first, NamedEvent& second, std::uint32_t timeoutMs);

 private:
  struct Impl;
  explicit NamedEvent(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> m_impl;
};

}  // namespace platform
