#pragma once
// Reading storage.dat under the storage mutex.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "TickwellLib/ByteSource.h"

namespace platform {
class NamedMutex;
}

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

// The storage mutex of the file at `path`, to keep for many reads of it: opening
// a named mutex takes a dozen system calls, as long as reading a thousand items.
// Null when it cannot be opened.
std::unique_ptr<platform::NamedMutex> OpenStorageMutex(const std::string& path);

// Opens the file at `path` while holding its storage mutex and runs `read` on
// it, which returns whether the header was accepted. All of `read` sees the one
// descriptor opened here. A set `stop` ends the wait for the mutex. `kept` is
// the file's mutex from OpenStorageMutex, or null to open it for this read.
StorageLoad ReadStorageLocked(const std::string& path, const std::function<bool(const ByteSource&)>& read,
                              std::uint32_t timeoutMs = kEngineLockTimeoutMs,
                              const std::atomic<bool>* stop = nullptr, platform::NamedMutex* kept = nullptr);
