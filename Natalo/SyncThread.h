#pragma once
// The application's side of the exchange with the other programs that write
// storage.dat (common/store/StorageSync.h). A thread waits for
// "FESK_STORAGE_CHANGED": the reminder utility has then patched one entry's
// reminder state, or the command line has added, edited or deleted an entry
// or changed many, and sync.tmp says which. While the writer still holds the
// storage mutex, the thread reads that entry's state, the whole entry, or all
// entries from the file, queues it for the
// user-interface thread (WM_APP_REMINDERSTATE), which puts it into the list
// and redraws, and answers "FESK_NOTIFY_CONTINUE". The notices only make the
// list show a change sooner: a save of the list takes whatever is queued and
// then compares the file with what the list last read or wrote
// (EntryStorage.h), so a lost or late notice loses nothing.
#include <QPointer>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class FeskItem;
class FeskList;
class MainWindow;

inline constexpr unsigned WM_APP_REMINDERSTATE = 0x8101;

// The four reminder-state fields of one entry.
struct ReminderStateBlock {
  std::int32_t uid = 0;
  std::uint16_t wSkipNext = 0;
  std::uint64_t ftSnooze = 0;
  std::uint32_t dwAutoSnoozeCounter = 0;
  std::uint32_t dwSnoozeCounter = 0;
};

// Reads the state of the entry `uid` from the storage file without taking the
// storage mutex (the utility holds it). False when the file or entry is missing.
bool ReadReminderState(const std::string& storagePath, std::int32_t uid, ReminderStateBlock& out);
// Puts the state into the list's entry; false when the list has no such entry.
bool ApplyReminderState(FeskList& list, const ReminderStateBlock& state);

// The entry `uid` of the storage file, read without taking the storage mutex;
// nullptr when the file or entry is missing.
std::unique_ptr<FeskItem> ReadStoredEntry(const std::string& storagePath, std::int32_t uid);
// Every entry of the storage file, read without taking the storage mutex;
// false when the file cannot be read whole (a missing or empty one holds none).
bool ReadStoredEntries(const std::string& storagePath, std::vector<std::unique_ptr<FeskItem>>& out);
// Takes an entry another program edited into the list's entry of its UID, in
// place (pointers to it stay good); an entry the list never read from the
// file is added, one deleted here stays deleted. False when nothing changed.
bool TakeEditedEntry(FeskList& list, std::unique_ptr<FeskItem> stored);
// Drops the entry another program deleted from the file; an entry of the user
// under the same UID that the file never held stays. False when none was dropped.
bool DropRemovedEntry(FeskList& list, std::int32_t uid);
// Makes the list what the file holds after another program changed many
// entries: edited ones are taken in place, new ones added, deleted ones
// dropped; entries the user made here and has not saved yet stay.
void TakeStoredList(FeskList& list, std::vector<std::unique_ptr<FeskItem>> stored);
// Appends an entry another program added to the file. When an entry of the
// list already has its UID (one made here and not yet saved), it gets a new one.
void AddSyncedEntry(FeskList& list, std::unique_ptr<FeskItem> entry);
// Takes the queued changes into the list now; on the user-interface thread,
// while holding the storage mutex before a save. Nothing when the thread does
// not run.
void ApplyPendingSyncChanges();

// Redraws the list after a save took in entries or states other programs
// wrote (their notices were lost or not yet answered). Nothing when the thread
// does not run.
void ShowTakenInChanges();

// Starts the thread; `window` receives the changes on its thread.
bool StartSyncThread(MainWindow* window, FeskList* list, const std::string& dataFolder);
// Sets "FESK_NOTIFY_EXIT" and waits for the thread, which ends at once.
void StopSyncThread();
