#pragma once
// Loading storage.dat under the storage mutex.
#include <cstdint>
#include <string>
#include <vector>

#include "TickwellLib/EngineRecord.h"

// The engine waits this long for the storage mutex.
inline constexpr std::uint32_t kEngineLockTimeoutMs = 180'000;

// Loads the items of the file at `path` while holding its storage mutex. False
// (and `out` empty) when the mutex is not acquired, the file is missing or its
// header is not accepted.
bool LoadEngineStorageLocked(const std::string& path, std::vector<EngineRecord>& out,
                             std::uint32_t timeoutMs = kEngineLockTimeoutMs);
