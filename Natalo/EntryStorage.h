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

// Writes the whole list under the storage mutex. What other programs saved
// since the list last read or wrote the file is taken in first
// (TakeInOtherWriters), so no entry another program added is ever dropped.
// When `removeWhenEmpty` and the list then holds no entry at all (stars
// included), the file is removed instead. A refused file
// (FeskList::m_bRefusedFile), or one that is no longer a storage file of
// ours, is first moved aside; when that fails nothing is written. A file that
// cannot be read is not written over: the save fails and the list stays as it
// is for the next try.
EntrySaveResult SaveEntryList(FeskList& list, bool removeWhenEmpty,
                              std::uint32_t timeoutMs = STORAGE_MUTEX_TIMEOUT);

// Compares the storage file with what the list last read or wrote
// (StorageList::m_known), the caller holding the storage mutex: an entry the
// list has never seen was added by another program and is appended; a
// reminder state changed in the file while the list still holds the one it
// knew is taken over. An entry the list knew and no longer holds was deleted
// here and stays deleted.
struct TakeInResult {
  // None, or why the file gave nothing: Missing and Empty hold nothing to take
  // in; ReadError fails the save; any other means the file is not ours.
  StorageRefusal refusal = StorageRefusal::None;
  int added = 0;
  int states = 0;
  int damaged = 0;
};
TakeInResult TakeInOtherWriters(FeskList& list);

// Renames `path` to `path`.unreadable-YYYY-MM-DD, or with "-2", "-3", ... added
// when that name is taken: an existing file is never replaced. Returns the new
// path, or empty with errno set.
std::string MoveFileAside(const std::string& path, const CalendarDate& date);
