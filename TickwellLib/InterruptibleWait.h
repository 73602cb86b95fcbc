#pragma once
// Waiting for a named mutex in short slices, so that a worker being stopped
// leaves the wait at once instead of holding up the unloading of the library.
#include <atomic>
#include <cstdint>

#include "platform/sync/NamedMutex.h"

// Waits up to timeoutMs; a set `stop` ends the wait as TimedOut.
platform::WaitResult WaitUnlessStopped(platform::NamedMutex& mutex, std::uint32_t timeoutMs,
                                       const std::atomic<bool>* stop);
