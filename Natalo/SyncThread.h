#pragma once
// The application's side of the exchange with the reminder utility. A thread
// waits for "FESK_STORAGE_CHANGED"; the utility has then patched one entry's
// reminder state in storage.dat and names it in sync.tmp. While the utility
// still holds the storage mutex, the thread reads that entry's state from the
// file, hands it to the user-interface thread (WM_APP_REMINDERSTATE), which
// puts it into the list and redraws, and answers "FESK_NOTIFY_CONTINUE".
#include <QPointer>

#include <cstdint>
#include <memory>
#include <string>

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

// Starts the thread; `window` receives the changes on its thread.
bool StartSyncThread(MainWindow* window, FeskList* list, const std::string& programFolder);
// Sets "FESK_NOTIFY_EXIT" and waits for the thread, which ends at once.
void StopSyncThread();
