#include "NataloCli/StoredListChange.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "NataloCli/CliSession.h"
#include "NataloCli/EngineAccess.h"
#include "common/calendar/KeptCalendar.h"
#include "common/entries/EntryStrings.h"
#include "common/entries/FeskItem.h"
#include "common/settings/AppSettings.h"
#include "common/store/AtomicFile.h"
#include "common/store/StorageCopy.h"
#include "common/store/StorageMutexName.h"
#include "common/text/LocalTable.h"
#include "platform/file/FileIo.h"
#include "platform/folder/DataFolder.h"
#include "platform/sync/NamedEvent.h"
#include "platform/sync/NamedMutex.h"
#include "platform/text/Utf.h"

namespace {

// Loads storage.dat for the save that follows, the caller holding the storage
// mutex; a missing or empty file is an empty list. A file of an older
// revision is upgraded as the application's start does, its texts cut to
// fit; `oldRevision` then receives its revision, else 0.
int LoadForSaving(FeskList& list, std::uint32_t& oldRevision) {
  list.Clear();
  list.m_nNextUID = 1;
  oldRevision = 0;
  struct stat info {};
  if (stat(list.m_szPath.c_str(), &info) != 0) return errno == ENOENT ? kExitDone : ReportLoad(StorageLoad::Unreadable);
  if (S_ISREG(info.st_mode) && info.st_size == 0) return kExitDone;
  const platform::UniqueFd storage = platform::OpenRegularFile(list.m_szPath, O_RDONLY);
  FeskList::ScanResult scan;
  const bool read = storage.IsOpen() && list.ScanAnyRevision(storage.Get(), [&list](std::unique_ptr<StorageItem>& item) {
    if (FeskItem* entry = AsEntry(item.get())) {
      item.release();
      list.AppendLoaded(std::unique_ptr<FeskItem>(entry));
    }
  }, &scan);
  // A save would drop the records that could not be read.
  if (!read || scan.damaged != 0) return ReportLoad(StorageLoad::Unreadable);
  if (FeskList::IsOldRevision(scan.revision)) {
    oldRevision = scan.revision & 0xFFFF;
    for (StorageItem& item : list) FitStringsToRecord(*AsEntry(&item));
  }
  return kExitDone;
}

enum class Application { NotRunning, Running, Starting };

// Whether the application runs and listens for changes. One that holds its
// single-instance rule but does not listen yet is starting (it may already
// have read storage.dat) or closing; either is over soon.
Application FindApplication() {
  if (platform::NamedEvent::Open(kStorageChangedEvent)) return Application::Running;
  bool existed = false;
  const auto instance = platform::NamedMutex::Create(u"Natalo_Instance_Mutex", &existed);
  return existed ? Application::Starting : Application::NotRunning;
}

// How often a wait for a starting application looks again.
constexpr auto kStartingProbe = std::chrono::milliseconds(50);
// How long a running application is given to answer the notice of a new entry.
constexpr std::uint32_t kApplicationReplyMs = 2000;

// Puts the file back as it was before this run's save: `before` holds its
// bytes, or nothing when there was no file.
void RestoreFile(const std::string& path, const std::string& before, bool existed) {
  if (!existed) {
    unlink(path.c_str());
    return;
  }
  ReplaceFileAtomically(path, [&before](BinaryWriter& writer) {
    return writer.WriteBytes(before.data(), before.size());
  });
}

// Brings the kept calendar folder, when there is one, up to date with the
// file just saved. A failure is told; the change stays saved.
void KeepCalendarFolder(const std::string& storagePath) {
  if (g_settings.g_szCalendarFolder.empty()) return;
  const KeptCalendarJob job{platform::ToUtf8(g_settings.g_szCalendarFolder), storagePath,
                            GetLocalTable().Get(u"CLI_ICS_SUMMARY_YEAR"), CurrentReminderDefaults(),
                            StorageLockTimeout()};
  switch (ExportKeptCalendar(job)) {
    case KeptCalendarResult::Done: return;
    case KeptCalendarResult::NotAFolder:
      CliFail(kExitDone, CliText(u"CLI_EXPORT_NOT_A_FOLDER", {g_settings.g_szCalendarFolder}));
      return;
    case KeptCalendarResult::StorageUnreadable:
    case KeptCalendarResult::Failed: break;
  }
  CliFail(kExitDone, CliText(u"CLI_KEPT_CALENDAR_FAILED", {g_settings.g_szCalendarFolder}));
}

// The largest storage file whose bytes are kept for putting it back.
constexpr std::size_t kMaxStorageBytes = std::size_t{1} << 30;

}  // namespace

int ChangeStoredList(const StoredListEdit& edit, const std::function<void(const FeskList&)>& afterSave) {
  FeskList& list = CommandList();
  const auto mutex = platform::NamedMutex::Create(StorageMutexName(platform::FromUtf8(list.m_szPath)));
  if (!mutex) return ReportLoad(StorageLoad::Locked);
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::milliseconds(StorageLockTimeout());
  for (bool again = false;; again = true) {
    // A starting application gets time to come up, without the mutex held.
    if (again) std::this_thread::sleep_for(kStartingProbe);
    const platform::NamedMutexLock lock(*mutex, StorageLockTimeout());
    if (!lock.Acquired()) return ReportLoad(StorageLoad::Locked);
    std::uint32_t oldRevision = 0;
    if (const int failed = LoadForSaving(list, oldRevision); failed != kExitDone) return failed;
    const Application application = FindApplication();
    if (application == Application::Starting) {
      // It may have read the file before this save and would not hear of it.
      if (std::chrono::steady_clock::now() >= giveUp) return CliFail(kExitStorage, CliText(u"CLI_APP_RUNNING"));
      continue;
    }
    StorageNotice notice;
    if (const int refused = edit(list, notice); refused != kExitDone) return refused;
    std::string before;
    const bool existed = platform::ReadWholeFile(list.m_szPath, before, kMaxStorageBytes);
    // The upgrade rewrites an older file: the file as it was stays beside it,
    // or nothing is saved.
    if (oldRevision != 0 && KeepCopyBeside(list.m_szPath, "rev" + std::to_string(oldRevision), true).empty()) {
      return CliFail(kExitStorage, CliText(u"CLI_SAVE_FAILED"));
    }
    if (!list.Save()) return CliFail(kExitStorage, CliText(u"CLI_SAVE_FAILED"));
    // A stopped application holds the file and the caller up for a moment at most.
    const NotifyResult told =
        application == Application::Running
            ? NotifyApplication(platform::GetDataFolder(), notice, std::min(StorageLockTimeout(), kApplicationReplyMs))
            : NotifyResult::NoApplication;
    // The application would write its list over the change it never heard of:
    // its save keeps entries others added, but not what they edited or deleted.
    if (told == NotifyResult::Failed || (told == NotifyResult::NoAnswer && notice.change != StorageChange::EntryAdded)) {
      RestoreFile(list.m_szPath, before, existed);
      return CliFail(kExitStorage, CliText(u"CLI_APP_RUNNING"));
    }
    if (afterSave) afterSave(list);
    break;
  }
  KeepCalendarFolder(list.m_szPath);
  EngineAccess engine;
  if (!engine.Load()) return CliFail(kExitDone, CliText(u"CLI_NO_ENGINE"));
  engine.CalculateEventsAndWait();
  return kExitDone;
}
