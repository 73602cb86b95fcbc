#include "NataloUtil/ReminderSession.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "NataloUtil/CommandLine.h"
#include "NataloUtil/SnoozeRules.h"
#include "common/entries/FeskList.h"
#include "common/log/Log.h"
#include "common/store/StorageList.h"
#include "platform/folder/DataFolder.h"
#include "platform/sync/NamedMutex.h"

void SleepMilliseconds(int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

namespace {

// Signed difference a - b in whole seconds.
std::int64_t SecondsBetween(platform::FileTime a, platform::FileTime b) {
  const auto sa = static_cast<std::int64_t>(a / platform::FILETIME_PER_SECOND);
  const auto sb = static_cast<std::int64_t>(b / platform::FILETIME_PER_SECOND);
  return sa - sb;
}

}  // namespace

bool CheckEarlyFired(platform::FileTime fireTime, const SleepFn& sleep) {
  platform::FileTime now = platform::GetLocalFileTime();
  if (fireTime + kOldReminderSeconds * platform::FILETIME_PER_SECOND < now) return false;
  if (fireTime > now) {
    std::int64_t d = SecondsBetween(fireTime, now);
    if (d >= kEarlyFireSeconds) return true;
    while (now < fireTime && d <= kEarlyFireSeconds) {
      sleep(1000);
      now = platform::GetLocalFileTime();
      d = SecondsBetween(fireTime, now);
    }
  }
  return true;
}

bool IsMissedReminderStillDue(const FeskItem& item, platform::FileTime fireTime, const CalendarDate& today) {
  const CalendarDate eventDay = NextOccurrence(DateOfFileTime(item.m_ftDate), DateOfFileTime(fireTime));
  return DayNumber(today) <= DayNumber(eventDay);
}

std::unique_ptr<FeskItem> CopyEntry(const FeskItem& entry) {
  BinaryWriter writer;
  auto copy = std::make_unique<FeskItem>(entry.m_wKind);
  if (entry.Write(writer)) {
    BinaryReader reader(std::span<const std::uint8_t>(writer.Data().data(), writer.Data().size()));
    copy->Read(reader);
  }
  copy->m_nUID = entry.m_nUID;
  copy->m_dwStatePos = entry.m_dwStatePos;
  copy->m_bShowSeconds = entry.m_bShowSeconds;
  return copy;
}

ReminderSession::ReminderSession(std::string programFolder, UtilSyncTimeouts timeouts, std::string dataFolder)
    : m_szProgramFolder(std::move(programFolder)),
      m_szDataFolder(dataFolder.empty() ? platform::GetDataFolder() : std::move(dataFolder)),
      m_timeouts(timeouts) {}

ReminderSession::~ReminderSession() = default;

bool ReminderSession::Write(const FeskItem& item) {
  m_bLastWrite = WriteUtilData(item, m_szDataFolder, m_timeouts);
  return m_bLastWrite;
}

bool ReminderSession::GetData(std::string_view commandLine) {
  const ReminderCommand command = ParseReminderCommand(commandLine);
  m_ftFire = command.fireTime;

  // Read as a load reads the file, each record into an item of its own, but
  // only the entries the command line names are kept: the others go as soon
  // as they are read.
  const FeskList list(m_szDataFolder + "storage.dat");
  std::size_t itemsRead = 0;
  std::vector<std::unique_ptr<FeskItem>> named;
  const bool read = list.WithStorageMutex(STORAGE_MUTEX_TIMEOUT, [&] {
    return list.ScanFile([&](std::unique_ptr<StorageItem>& item) {
      ++itemsRead;
      const std::unique_ptr<StorageItem> taken = std::move(item);
      const FeskItem* entry = AsEntry(taken.get());
      if (entry && std::find(command.uids.begin(), command.uids.end(), entry->m_nUID) != command.uids.end()) {
        named.push_back(CopyEntry(*entry));
      }
    });
  });
  if (!read || itemsRead == 0) {
    WriteLog("GetData: no entries");
    return false;
  }
  m_pActiveReminder.reset();
  bool busy = false;
  m_pQueueMutex = platform::NamedMutex::Create(kQueueMutexName, &busy);
  if (!m_pQueueMutex) busy = true;

  for (std::unique_ptr<FeskItem>& copy : named) {
    if (busy || m_pActiveReminder) {
      WriteLog("GetData: busy snooze of %d", copy->m_nUID);
      m_bRecalcNeeded = true;
      SetBusySnooze(std::move(copy));
    } else if (copy->m_wSkipNext != 0) {
      WriteLog("GetData: skipped %d", copy->m_nUID);
      DismissReminder(std::move(copy));
    } else {
      WriteLog("GetData: showing %d", copy->m_nUID);
      m_pActiveReminder = std::move(copy);
    }
  }
  return m_pActiveReminder && !busy;
}

void ReminderSession::CheckFirstTimeReminder(FeskItem& item) {
  // The moment of the command line, exactly: the calendar record keeps only
  // milliseconds, and a snooze time written elsewhere may carry more.
  const platform::FileTime fire = m_ftFire;
  const platform::FileTime snooze = item.m_ftSnooze;
  if (fire == snooze) return;
  if (item.m_dwAutoSnoozeCounter == 0 && item.m_dwSnoozeCounter == 0) return;
  item.m_dwAutoSnoozeCounter = 0;
  item.m_dwSnoozeCounter = 0;
  item.m_ftSnooze = 0;
  if (snooze > fire) Write(item);
}

void ReminderSession::SetReminderSnooze(std::uint32_t seconds, bool automatic) {
  std::unique_ptr<FeskItem> item = std::move(m_pActiveReminder);
  if (!item) return;
  if (automatic) {
    if (item->m_dwAutoSnoozeCounter >= kAutoSnoozeTable.size()) {
      DismissReminder(std::move(item));
      return;
    }
    seconds = kAutoSnoozeTable[item->m_dwAutoSnoozeCounter];
    const platform::SystemTime now = platform::GetLocalTime();
    platform::SystemTime later{};
    if (!platform::FileTimeToSystemTime(NowPlusSeconds(seconds), later) || later.wDay != now.wDay) {
      WriteLog("SetReminderSnooze: automatic snooze would pass midnight");
      DismissReminder(std::move(item));
      return;
    }
  }
  item->m_ftSnooze = NowPlusSeconds(seconds);
  item->m_dwAutoSnoozeCounter = automatic ? item->m_dwAutoSnoozeCounter + 1 : 0;
  item->m_dwSnoozeCounter += 1;
  WriteLog("SetReminderSnooze: %d by %u s", item->m_nUID, seconds);
  Write(*item);
}

void ReminderSession::DismissReminder(std::unique_ptr<FeskItem> item) {
  if (!item) return;
  item->m_ftSnooze = 0;
  item->m_dwSnoozeCounter = 0;
  item->m_dwAutoSnoozeCounter = 0;
  item->m_wSkipNext = 0;
  WriteLog("DismissReminder: %d", item->m_nUID);
  Write(*item);
}

void ReminderSession::SetBusySnooze(std::unique_ptr<FeskItem> item) {
  if (!item) return;
  item->m_ftSnooze = NowPlusSeconds(kBusySnoozeSeconds);
  Write(*item);
}

void ReminderSession::CloseQueue() { m_pQueueMutex.reset(); }
