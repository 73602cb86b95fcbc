#pragma once
// One calculation: remove the utility's old notifications, then arm a new one for
// the earliest occurrence over all enabled items.
#include <atomic>

struct EngineState;

// Runs on the worker thread while the calculation mutex is held. Missing, empty
// or inactive storage leaves no notification of the utility behind. Storage that
// cannot be read (locked past the time-out, a read error, not a regular file)
// keeps the armed notifications: a passing fault must not silence every
// reminder. A set `stop` ends the wait for the storage mutex in that way too.
void RunCalculation(const EngineState& state, const std::atomic<bool>* stop = nullptr);
