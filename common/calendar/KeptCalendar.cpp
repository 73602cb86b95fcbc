#include "common/calendar/KeptCalendar.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "common/calendar/CalendarFolder.h"
#include "common/calendar/EntryEvent.h"
#include "common/calendar/StorageId.h"
#include "common/entries/FeskList.h"
#include "common/store/StorageCopy.h"
#include "common/store/StorageMutexName.h"
#include "platform/file/FileIo.h"
#include "platform/sync/NamedMutex.h"
#include "platform/text/Utf.h"

namespace {

// Opens storage.dat under its mutex; a missing or empty file leaves `storage`
// closed. Saves replace the file as a whole, so it reads the same after the
// mutex is released.
bool OpenStorageFile(const KeptCalendarJob& job, platform::UniqueFd& storage) {
  const auto mutex = platform::NamedMutex::Create(StorageMutexName(platform::FromUtf8(job.storagePath)));
  if (!mutex) return false;
  const platform::NamedMutexLock lock(*mutex, job.lockTimeoutMs);
  if (!lock.Acquired()) return false;
  struct stat info {};
  if (stat(job.storagePath.c_str(), &info) != 0) return errno == ENOENT;
  if (S_ISREG(info.st_mode) && info.st_size == 0) return true;
  storage = platform::OpenRegularFile(job.storagePath, O_RDONLY);
  return storage.IsOpen();
}

const char* ResultText(KeptCalendarResult result) {
  switch (result) {
    case KeptCalendarResult::Done: return "done";
    case KeptCalendarResult::NotAFolder: return "not a folder";
    case KeptCalendarResult::StorageUnreadable: return "the storage file could not be read whole";
    case KeptCalendarResult::Failed: break;
  }
  return "could not be written";
}

}  // namespace

KeptCalendarResult ExportKeptCalendar(const KeptCalendarJob& job) {
  // The setting is read by programs started from anywhere: only a path from
  // the root, or from the home folder, names one folder for all of them.
  std::string path = job.folder;
  if (const char* home = std::getenv("HOME"); path.starts_with("~/") && home != nullptr) path = home + path.substr(1);
  if (path.empty() || path[0] != '/') {
    errno = EINVAL;
    return KeptCalendarResult::Failed;
  }
  std::string storageId;
  if (!StorageIdentifier(job.storagePath, storageId)) return KeptCalendarResult::Failed;
  CalendarFolder folder(storageId, std::time(nullptr));
  switch (folder.Open(path)) {
    case CalendarFolder::Opened::Ready: break;
    case CalendarFolder::Opened::NotAFolder: return KeptCalendarResult::NotAFolder;
    case CalendarFolder::Opened::Failed: return KeptCalendarResult::Failed;
  }
  platform::UniqueFd storage;
  if (!OpenStorageFile(job, storage)) return KeptCalendarResult::StorageUnreadable;
  bool written = true;
  if (storage.IsOpen()) {
    const FeskList list(job.storagePath);
    const CalendarDate today = Today();
    IcsEvent event;
    FeskList::ScanResult scan;
    const bool read = list.ScanAnyRevision(storage.Get(), [&](std::unique_ptr<StorageItem>& item) {
      if (const FeskItem* entry = AsEntry(item.get())) {
        FillEvent(*entry, storageId, job.yearFormat, today, event);
        written = folder.Put(event) && written;
      }
    }, &scan, job.defaults);
    // The events of records that could not be read stay.
    if (!read || scan.damaged != 0) return KeptCalendarResult::StorageUnreadable;
  }
  written = folder.RemoveGone() && written;
  return written ? KeptCalendarResult::Done : KeptCalendarResult::Failed;
}

KeptCalendarWorker::~KeptCalendarWorker() {
  {
    const std::lock_guard lock(m_mutex);
    m_stop = true;
  }
  m_wake.notify_one();
  if (m_thread.joinable()) m_thread.join();
}

void KeptCalendarWorker::Request(KeptCalendarJob job) {
  {
    const std::lock_guard lock(m_mutex);
    m_waiting = std::move(job);
    if (!m_thread.joinable()) m_thread = std::thread(&KeptCalendarWorker::Run, this);
  }
  m_wake.notify_one();
}

void KeptCalendarWorker::Run() {
  std::unique_lock lock(m_mutex);
  for (;;) {
    m_wake.wait(lock, [this] { return m_stop || m_waiting.has_value(); });
    if (!m_waiting) return;
    const KeptCalendarJob job = std::move(*m_waiting);
    m_waiting.reset();
    lock.unlock();
    const KeptCalendarResult result = ExportKeptCalendar(job);
    if (result != KeptCalendarResult::Done) {
      const int error = errno;
      LogStorageNotice("calendar folder " + job.folder + " not brought up to date: " + ResultText(result) +
                       (result == KeptCalendarResult::Failed ? std::string(" (") + std::strerror(error) + ")" : ""));
    }
    lock.lock();
  }
}
