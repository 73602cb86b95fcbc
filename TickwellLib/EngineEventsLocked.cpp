// The engine's passes over storage.dat, run under its storage mutex.
#include "TickwellLib/EngineEvents.h"

using platform::FileTime;

StorageLoad ReadActiveEvents(const std::string& path, FileTime now, ActiveEventArray& out, std::uint32_t timeoutMs,
                             platform::NamedMutex* kept) {
  ActiveEventArray built;
  const StorageLoad load = ReadStorageLocked(
      path, [&](const ByteSource& source) { return BuildActiveEvents(source, now, built); }, timeoutMs, nullptr, kept);
  if (load == StorageLoad::Loaded) {
    out = built;
  } else {
    ReleaseActiveEventArray(built.count, built.items);
    out = {};
  }
  return load;
}

DueEvents LoadDueEvents(const std::string& path, FileTime now, std::uint32_t timeoutMs,
                        const std::atomic<bool>* stop) {
  DueEvents due;
  due.load = ReadStorageLocked(path, [&](const ByteSource& source) { return ScanDueEvents(source, now, due); },
                               timeoutMs, stop);
  if (due.load != StorageLoad::Loaded) {
    const StorageLoad load = due.load;
    due = {};
    due.load = load;
  }
  return due;
}
