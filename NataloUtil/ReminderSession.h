#pragma once
// What one run of the reminder utility decides: which of the due entries it
// shows, which it puts back, and what the user's choice writes into
// storage.dat. One reminder per process.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "NataloUtil/UtilSync.h"
#include "common/entries/EntryCalendar.h"
#include "common/entries/FeskItem.h"
#include "platform/clock/Clock.h"

namespace platform {
class NamedMutex;
}

inline constexpr char16_t kQueueMutexName[] = u"_FESK_UTIL_QUEUE_MUTEX_";
// A reminder this much earlier than its moment is shown at once.
inline constexpr std::int64_t kEarlyFireSeconds = 30;
// A reminder this much older than now is not shown (the clock was changed).
inline constexpr std::int64_t kOldReminderSeconds = 60;

// Waits the given milliseconds; tests move a fixed clock instead.
using SleepFn = std::function<void(int milliseconds)>;
void SleepMilliseconds(int milliseconds);

// Returns false for a reminder that is too old to show. A reminder that came
// up to 30 seconds early waits until its moment.
bool CheckEarlyFired(platform::FileTime fireTime, const SleepFn& sleep = SleepMilliseconds);

// Whether a reminder that the notification service started late (the machine
// was off or asleep at its moment) is still worth showing: its event day,
// seen from the day it fired, has not passed.
bool IsMissedReminderStillDue(const FeskItem& item, platform::FileTime fireTime, const CalendarDate& today);

// A copy of the entry with all fields and texts, and its state position.
std::unique_ptr<FeskItem> CopyEntry(const FeskItem& entry);

class ReminderSession {
 public:
  // Pictures come from `programFolder`, the dates from `dataFolder` (empty:
  // the data folder).
  explicit ReminderSession(std::string programFolder, UtilSyncTimeouts timeouts = UtilSyncTimeouts{},
                           std::string dataFolder = {});
  ~ReminderSession();
  ReminderSession(const ReminderSession&) = delete;
  ReminderSession& operator=(const ReminderSession&) = delete;

  // Loads storage.dat, takes the queue, picks the first due entry of the
  // command line and puts every other one back. True when this process shows
  // ActiveReminder().
  bool GetData(std::string_view commandLine);

  // A snoozed reminder coming back keeps its counters; a new occurrence
  // clears the counters and the pending snooze (written back at once when the
  // old snooze lay after the new moment).
  void CheckFirstTimeReminder(FeskItem& item);

  // The user's snooze (automatic false) or the sound timer's (automatic true).
  void SetReminderSnooze(std::uint32_t seconds, bool automatic);
  // Clears the state block, writes it and frees the item; `item` may be the
  // active reminder or any other copy.
  void DismissReminder(std::unique_ptr<FeskItem> item);
  void DismissActiveReminder() { DismissReminder(std::move(m_pActiveReminder)); }
  // Puts an item back by two minutes without counting a snooze.
  void SetBusySnooze(std::unique_ptr<FeskItem> item);

  // Lets another utility show its reminder.
  void CloseQueue();

  FeskItem* ActiveReminder() const { return m_pActiveReminder.get(); }
  bool RecalcNeeded() const { return m_bRecalcNeeded; }
  platform::FileTime FireTime() const { return m_ftFire; }
  const std::string& ProgramFolder() const { return m_szProgramFolder; }
  // The outcome of the last write of a state block.
  bool LastWriteSucceeded() const { return m_bLastWrite; }

 private:
  bool Write(const FeskItem& item);

  std::string m_szProgramFolder;
  std::string m_szDataFolder;
  UtilSyncTimeouts m_timeouts;
  std::unique_ptr<FeskItem> m_pActiveReminder;
  std::unique_ptr<platform::NamedMutex> m_pQueueMutex;
  platform::FileTime m_ftFire = 0;
  bool m_bRecalcNeeded = false;
  bool m_bLastWrite = false;
};
