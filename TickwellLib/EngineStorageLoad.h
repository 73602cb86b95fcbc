#pragma once
// Reading storage.dat under the storage mutex.
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "TickwellLib/ByteSource.h"

// The engine waits this long for the storage mutex.
inline constexpr std::uint32_t kEngineLockTimeoutMs = 180'000;

enum class StorageLoad {
  Loaded,      // the header was accepted and the records were read
  Missing,     // no file
  Rejected,    // an empty file or one whose header is not accepted
  Locked,      // the storage mutex was not acquired (time-out, failure or stop)
  Unreadable,  // the file could not be opened or read, or is not a regular file
};

// True when the storage's content is known: loaded, missing or not accepted.
inline bool IsStorageKnown(StorageLoad load) {
  return load == StorageLoad::Loaded || load == StorageLoad::Missing || load == StorageLoad::Rejected;
}

// Opens the file at `path` while holding its storage mutex and runs `read` on
// it, which returns whether the header was accepted. All of `read` sees the one
// descriptor opened here. A set `stop` ends the wait for the mutex.
StorageLoad ReadStorageLocked(const std::string& path, const std::function<bool(const ByteSource&)>& read,
                              std::uint32_t timeoutMs = kEngineLockTimeoutMs,
                              const std::atomic<bool>* stop = nullptr);
