#pragma once
// Saving the application's entry list from the user-interface thread. The
// wait for the storage mutex keeps the window painting; a storage file that
// the start-up refused is moved aside before it would be overwritten; a failed
// save says why, so the caller can tell the user.
#include <QString>

#include <cstdint>
#include <string>

#include "common/entries/EntryCalendar.h"
#include "common/store/StorageList.h"

class FeskList;

struct EntrySaveResult {
  bool bSaved = false;
  // Why the save failed, for the user; empty when it succeeded.
  QString szReason;
  // Where a refused storage file was moved, or empty.
  std::string szMovedAside;
};

// Writes the whole list under the storage mutex. When `removeWhenEmpty` and
// the list holds no entry at all (stars included), the file is removed
// instead. A refused file (FeskList::m_bRefusedFile) is first moved aside; when
// that fails nothing is written.
EntrySaveResult SaveEntryList(FeskList& list, bool removeWhenEmpty,
                              std::uint32_t timeoutMs = STORAGE_MUTEX_TIMEOUT);

// Renames `path` to `path`.unreadable-YYYY-MM-DD, or with "-2", "-3", ... added
// when that name is taken: an existing file is never replaced. Returns the new
// path, or empty with errno set.
std::string MoveFileAside(const std::string& path, const CalendarDate& date);
