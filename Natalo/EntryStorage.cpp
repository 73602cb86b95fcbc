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
#include "common/entries/FeskList.h"
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
  // Changes other programs made meanwhile go into the list before it is written.
  ApplyPendingSyncChanges();
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
  if (!result.bSaved) result.szReason = SystemReason(errno);
  return result;
}
