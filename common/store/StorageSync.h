#pragma once
// The exchange by which other programs tell a running application that they
// changed storage.dat. The writer, holding the storage mutex, names the entry
// in sync.tmp in the data folder and sets "FESK_STORAGE_CHANGED"; the
// application reads the entry from the file while the writer still holds the
// mutex, takes the change into its own list, and answers with
// "FESK_NOTIFY_CONTINUE". A notice only makes the change show sooner: the
// application's save compares the file with what it last read or wrote and
// keeps what others saved, so a notice lost or not answered costs nothing.
//
// sync.tmp: i32 UID, then, for a change other than the reminder state, u32
// kind of change. An application that reads only the UID, or does not know
// the kind, takes the named entry's reminder state from the file: for a new or
// removed entry it finds none and ignores the notice, for a changed one it
// takes the state the file holds, and a whole-list change names no entry.
#include <cstdint>
#include <string>

inline constexpr char16_t kStorageChangedEvent[] = u"FESK_STORAGE_CHANGED";
inline constexpr char16_t kNotifyContinueEvent[] = u"FESK_NOTIFY_CONTINUE";
inline constexpr char16_t kNotifyExitEvent[] = u"FESK_NOTIFY_EXIT";
inline constexpr char kSyncFileName[] = "sync.tmp";

enum class StorageChange : std::uint32_t {
  ReminderState = 0,  // the entry's reminder state was written in place
  EntryAdded = 1,     // the entry is new in the file
  EntryChanged = 2,   // the entry was edited
  EntryRemoved = 3,   // the entry was deleted
  ListChanged = 4,    // any entries changed (the UID is 0): read the whole file again
};

struct StorageNotice {
  std::int32_t uid = 0;
  StorageChange change = StorageChange::ReminderState;
};

bool WriteStorageNotice(const std::string& path, const StorageNotice& notice);
// False when the file is missing or too short; an unknown kind of change
// reads as the reminder state.
bool ReadStorageNotice(const std::string& path, StorageNotice& notice);

enum class NotifyResult {
  NoApplication,  // none runs: nothing to tell
  Answered,
  NoAnswer,       // it did not answer within the wait, or went away meanwhile
  Failed,         // the notice could not be written
};

// Tells a running application about the change; the caller holds the storage
// mutex. Waits up to `replyMs` for the answer, and ends the wait early when the
// application goes away (crashed or killed), since then nobody will answer.
NotifyResult NotifyApplication(const std::string& dataFolder, const StorageNotice& notice, std::uint32_t replyMs);
