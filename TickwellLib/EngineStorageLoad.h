#pragma once
// Loading storage.dat under the storage mutex.
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "TickwellLib/EngineRecord.h"

// The engine waits this long for the storage mutex.
inline constexpr std::uint32_t kEngineLockTimeoutMs = 180'000;

enum class StorageLoad {
  Loaded,      // the header was accepted; the items read are in `out`
  Missing,     // no file
  Rejected,    // an empty file or one whose header is not accepted
  Locked,      // the storage mutex was not acquired (time-out, failure or stop)
  Unreadable,  // the file could not be opened or read, or is not a regular file
};

// True when the storage's content is known: loaded, missing or not accepted.
inline bool IsStorageKnown(StorageLoad load) {
  return load == StorageLoad::Loaded || load == StorageLoad::Missing || load == StorageLoad::Rejected;
}

// Loads the items of the file at `path` while holding its storage mutex; `out`
// is empty unless the result is Loaded. A set `stop` ends the wait for the mutex.
StorageLoad LoadEngineStorageLocked(const std::string& path, std::vector<EngineRecord>& out,
                                    std::uint32_t timeoutMs = kEngineLockTimeoutMs,
                                    const std::atomic<bool>* stop = nullptr);
