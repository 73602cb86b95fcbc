#include "Natalo/EntryStorage.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "Natalo/AppText.h"
#include "Natalo/SyncThread.h"
#include "common/calendar/KeptCalendar.h"
#include "common/entries/FeskList.h"
#include "common/settings/AppSettings.h"
#include "common/store/StorageCopy.h"
#include "common/store/StorageMutexName.h"
#include "platform/sync/NamedMutex.h"
#include "platform/text/Utf.h"

namespace {

// How long each try for the mutex lasts before the window gets to paint.
constexpr std::uint32_t kMutexSliceMs = 50;
// More than a day's worth of moved files would mean something else is wrong.
constexpr int kMaxAsideNames = 1000;

QString SystemReason(int error) {
  return QString::fromLocal8Bit(std::strerror(error != 0 ? error : EIO));
}

// Renames without replacing an existing file; EEXIST when the name is taken.
bool RenameNoReplace(const std::string& from, const std::string& to) {
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  // File systems without the flag: a hard link fails on an existing name too.
  if (link(from.c_str(), to.c_str()) != 0) return false;
  return unlink(from.c_str()) == 0;
}

// Holds the storage mutex while it lives, once Acquire succeeded.
class StorageMutexHold {
 public:
  explicit StorageMutexHold(const std::string& path)
      : m_mutex(platform::NamedMutex::Create(StorageMutexName(platform::FromUtf8(path)))) {}
  ~StorageMutexHold() {
    if (m_held) m_mutex->Release();
  }
  StorageMutexHold(const StorageMutexHold&) = delete;
  StorageMutexHold& operator=(const StorageMutexHold&) = delete;

  // Waits up to `timeoutMs`, letting the window repaint between short tries
  // (user input waits, so no second command starts meanwhile).
  platform::WaitResult Acquire(std::uint32_t timeoutMs) {
    if (!m_mutex) return platform::WaitResult::Failed;
    QElapsedTimer waited;
    waited.start();
    for (;;) {
      const auto elapsed = static_cast<std::uint64_t>(waited.elapsed());
      const std::uint32_t slice =
          elapsed >= timeoutMs ? 0 : static_cast<std::uint32_t>(std::min<std::uint64_t>(kMutexSliceMs, timeoutMs - elapsed));
      const platform::WaitResult result = m_mutex->Wait(slice);
      if (result != platform::WaitResult::TimedOut || slice == 0) {
        m_held = result == platform::WaitResult::Acquired;
        return result;
      }
      QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
  }

 private:
  std::unique_ptr<platform::NamedMutex> m_mutex;
  bool m_held = false;
};

// After a save, the kept calendar folder (when the setting names one) is
// brought up to date on a thread of its own: the setting is read anew, so a
// folder set from the command line counts from the next save on.
void KeepCalendarFolder(const std::string& storagePath) {
  g_settings.g_szCalendarFolder.clear();
  LoadExportSettings(g_settings);
  if (g_settings.g_szCalendarFolder.empty()) return;
  static KeptCalendarWorker worker;
  worker.Request({platform::ToUtf8(g_settings.g_szCalendarFolder), storagePath,
                  LocalText().Get(u"CLI_ICS_SUMMARY_YEAR"), CurrentReminderDefaults(), STORAGE_MUTEX_TIMEOUT});
}

}  // namespace

std::string MoveFileAside(const std::string& path, const CalendarDate& date) {
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, ".unreadable-%04d-%02d-%02d", date.year, date.month, date.day);
  const std::string base = path + stamp;
  for (int n = 1; n <= kMaxAsideNames; ++n) {
    const std::string name = n == 1 ? base : base + "-" + std::to_string(n);
    if (RenameNoReplace(path, name)) return name;
    if (errno != EEXIST) return {};
  }
  errno = EEXIST;
  return {};
}

TakeInResult TakeInOtherWriters(FeskList& list) {
  TakeInResult result;
  std::vector<std::unique_ptr<FeskItem>> added;
  std::vector<std::pair<StorageItem*, KnownRecordState>> states;
  FeskList::ScanResult scan;
  const bool read = list.ScanStorageFile([&](std::unique_ptr<StorageItem>& item) {
    if (AsEntry(item.get()) == nullptr) return;
    const std::optional<KnownRecordState> known = list.m_known.Find(item->m_nUID);
    if (!known) {
      added.emplace_back(AsEntry(item.release()));
      return;
    }
    const KnownRecordState inFile = KnownRecordState::Of(*item);
    StorageItem* own = list.FindByUID(item->m_nUID);
    if (own != nullptr && inFile != *known && KnownRecordState::Of(*own) == *known) {
      states.emplace_back(own, inFile);
    }
  }, &scan);
  result.refusal = read ? StorageRefusal::None : scan.refusal;
  result.damaged = scan.damaged;
  // A file read only in part or not ours: nothing of it is taken in.
  if (!read) return result;
  for (auto& [own, state] : states) state.ApplyTo(*own);
  for (auto& entry : added) AddSyncedEntry(list, std::move(entry));
  result.added = static_cast<int>(added.size());
  result.states = static_cast<int>(states.size());
  return result;
}

EntrySaveResult SaveEntryList(FeskList& list, bool removeWhenEmpty, std::uint32_t timeoutMs) {
  EntrySaveResult result;
  StorageMutexHold hold(list.m_szPath);
  switch (hold.Acquire(timeoutMs)) {
    case platform::WaitResult::Acquired:
      break;
    case platform::WaitResult::TimedOut:
      result.szReason = ToQString(LocalText().Get(u"MSG_SAVE_REASON_BUSY"));
      return result;
    case platform::WaitResult::Failed:
      result.szReason = SystemReason(errno);
      return result;
  }
  // Changes other programs made meanwhile go into the list before it is
  // written: those they told of first, then whatever the file shows besides.
  ApplyPendingSyncChanges();
  if (!list.m_bRefusedFile) {
    const TakeInResult taken = TakeInOtherWriters(list);
    switch (taken.refusal) {
      case StorageRefusal::None:
      case StorageRefusal::Missing:
      case StorageRefusal::Empty: break;
      case StorageRefusal::ReadError:
        // Writing now would drop whatever could not be read.
        result.szReason = SystemReason(EIO);
        return result;
      default:
        // Someone put another file there: it is kept aside, not overwritten.
        list.m_bRefusedFile = true;
        break;
    }
    if (taken.damaged > 0) {
      const std::string copy = KeepCopyBeside(list.m_szPath, "damaged", true);
      LogStorageNotice(std::to_string(taken.damaged) + " damaged record(s) in " + list.m_szPath +
                       (copy.empty() ? "; no copy could be kept" : "; the file as it was is kept as " + copy));
    }
    if (taken.added > 0 || taken.states > 0) ShowTakenInChanges();
  }
  if (list.m_bRefusedFile) {
    result.szMovedAside = MoveFileAside(list.m_szPath, Today());
    if (result.szMovedAside.empty() && errno != ENOENT) {
      result.szReason = SystemReason(errno);
      return result;
    }
    list.m_bRefusedFile = false;
  }
  errno = 0;
  if (removeWhenEmpty && list.IsEmpty()) {
    result.bSaved = unlink(list.m_szPath.c_str()) == 0 || errno == ENOENT;
  } else {
    result.bSaved = list.Save();
  }
  // A removed file holds nothing any more (Save remembers what it wrote).
  if (result.bSaved && list.IsEmpty()) list.RememberFileContent();
  if (!result.bSaved) result.szReason = SystemReason(errno);
  if (result.bSaved) KeepCalendarFolder(list.m_szPath);
  return result;
}
