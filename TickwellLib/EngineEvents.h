#pragma once
// What the engine reads out of storage.dat: the active events a plug-in asks for
// (GetActiveEvents) and the earliest due items a calculation arms. Both are one
// pass over the file's records as they are read; no list of items is built.
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "TickwellLib/ByteSource.h"
#include "TickwellLib/EngineStorageLoad.h"
#include "common/store/ScheduleFields.h"
#include "platform/clock/Clock.h"

// GetActiveEvents' result: `count` items sorted by m_ftNext, then UID (items
// equal in both keep their order in the file); an item marked skip carries the
// time after the skipped occurrence (TIME_NONE for a one-time item); `nearest`
// counts the items due at the earliest time before the skip marks apply.
struct ActiveEventArray {
  std::int32_t count = 0;
  std::int32_t nearest = 0;
  EngineItem** items = nullptr;  // null when count is 0
};

// Builds the active events of the storage at `now`: false when its header is not
// accepted. The array and the items share one allocation, the extension blocks
// another; ReleaseActiveEventArray frees both. Out of memory gives no items.
bool BuildActiveEvents(const ByteSource& source, platform::FileTime now, ActiveEventArray& out);
// The same for the file at `path`, read under its storage mutex (`kept`, or one
// opened for this read when null). Anything but Loaded leaves `out` empty.
StorageLoad ReadActiveEvents(const std::string& path, platform::FileTime now, ActiveEventArray& out,
                             std::uint32_t timeoutMs = kEngineLockTimeoutMs, platform::NamedMutex* kept = nullptr);
// Frees what BuildActiveEvents built; a null array is ignored. Only the array
// pointer is looked at: a caller may have reordered or changed its entries.
void ReleaseActiveEventArray(std::int32_t count, EngineItem** items);

// What a calculation needs: the earliest occurrence over all enabled items and
// the UIDs due then, ascending.
struct DueEvents {
  StorageLoad load = StorageLoad::Missing;
  std::int32_t total = 0;    // items in the file
  std::int32_t enabled = 0;  // of them enabled
  std::int32_t active = 0;   // of them with a future occurrence
  platform::FileTime earliest = platform::TIME_NONE;
  std::vector<std::int32_t> nearestUids;
};

// False when the header is not accepted.
bool ScanDueEvents(const ByteSource& source, platform::FileTime now, DueEvents& due);
DueEvents LoadDueEvents(const std::string& path, platform::FileTime now,
                        std::uint32_t timeoutMs = kEngineLockTimeoutMs, const std::atomic<bool>* stop = nullptr);
