#pragma once
// The utility's side of the exchange with a running application: the changed
// state block goes into storage.dat in place, and the application, when it
// runs, is told which entry changed and re-reads it while the utility still
// holds the storage mutex.
#include <cstdint>
#include <string>

#include "common/store/StorageSync.h"

class StorageItem;

inline constexpr std::uint32_t kSyncTimeoutMs = 180'000;
// The application's answer only makes its list show the change sooner: its
// next save takes the change from the file in any case. So the utility, which
// holds the storage mutex while it waits, waits briefly: a hung application
// must not keep every other program from the file.
inline constexpr std::uint32_t kSyncReplyMs = 2'000;

struct UtilSyncTimeouts {
  std::uint32_t mutexMs = kSyncTimeoutMs;
  std::uint32_t replyMs = kSyncReplyMs;
};

// Writes the item's state block into `dataFolder`storage.dat and hands the
// change to a running application. True when the block was written. The wait
// for the reply lasts at most `timeouts.replyMs` and ends early when the
// application goes away (it crashed or was killed), since then nobody will
// answer; the storage mutex is released after it in any case.
bool WriteUtilData(const StorageItem& item, const std::string& dataFolder,
                   const UtilSyncTimeouts& timeouts = UtilSyncTimeouts{});
