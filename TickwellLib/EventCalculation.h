#pragma once
// One calculation: remove the utility's old notifications, then arm a new one for
// the earliest occurrence over all enabled items.
struct EngineState;

// Runs on the worker thread while the calculation mutex is held. Unreadable or
// inactive storage leaves no notification of the utility behind.
void RunCalculation(const EngineState& state);
