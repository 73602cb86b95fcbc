#include "common/store/StorageMove.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "common/log/Log.h"
#include "common/store/StorageList.h"
#include "common/store/StorageMutexName.h"
#include "platform/file/FileIo.h"
#include "platform/folder/DataFolder.h"
#include "platform/sync/NamedMutex.h"
#include "platform/text/Utf.h"

namespace {

constexpr std::size_t kLargestFile = std::size_t{1} << 30;

bool SameFolder(const std::string& a, const std::string& b) {
  struct stat sa {}, sb {};
  if (stat(a.c_str(), &sa) != 0 || stat(b.c_str(), &sb) != 0) return a == b;
  return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

bool Exists(const std::string& path) {
  struct stat st {};
  return lstat(path.c_str(), &st) == 0;
}

// Copies `from` to the new file `to` through a temporary name beside it: the
// copy reaches the disk and is read back equal to the original before it
// takes its name.
bool CopyVerified(const std::string& from, const std::string& to, std::string& why) {
  const std::string temporary = to + ".moving";
  unlink(temporary.c_str());  // left by a move that was cut short
  std::string original, copy;
  if (!platform::ReadWholeFile(from, original, kLargestFile)) {
    why = "it cannot be read";
    return false;
  }
  if (!platform::CopyToNewFile(from, temporary)) {
    why = std::string("the copy cannot be written (") + std::strerror(errno) + ")";
    return false;
  }
  if (!platform::ReadWholeFile(temporary, copy, kLargestFile) || copy != original) {
    unlink(temporary.c_str());
    why = "the copy read back differs";
    return false;
  }
  if (rename(temporary.c_str(), to.c_str()) != 0) {
    why = std::string("the copy cannot be named (") + std::strerror(errno) + ")";
    unlink(temporary.c_str());
    return false;
  }
  platform::SyncFolder(platform::FolderOf(to));
  return true;
}

StorageMoveResult Result(StorageMove outcome, std::string message = {}) { return {outcome, std::move(message)}; }

}  // namespace

StorageMoveResult MoveOldStorage(const std::string& programFolder, const std::string& dataFolder,
                                 std::uint32_t timeoutMs) {
  const std::string oldPath = programFolder + "storage.dat";
  const std::string newPath = dataFolder + "storage.dat";
  if (programFolder.empty() || SameFolder(programFolder, dataFolder)) return Result(StorageMove::NotNeeded);
  if (Exists(newPath) || !Exists(oldPath)) return Result(StorageMove::NotNeeded);

  const auto newMutex = platform::NamedMutex::Create(StorageMutexName(platform::FromUtf8(newPath)));
  const auto oldMutex = platform::NamedMutex::Create(StorageMutexName(platform::FromUtf8(oldPath)));
  if (!newMutex || !oldMutex) return Result(StorageMove::Failed, "The storage mutex cannot be opened.");
  const platform::NamedMutexLock newLock(*newMutex, timeoutMs);
  if (!newLock.Acquired()) return Result(StorageMove::Failed, "The storage stayed locked; " + oldPath + " is not moved yet.");
  // Another program moved it while this one waited.
  if (Exists(newPath)) return Result(StorageMove::NotNeeded);
  const platform::NamedMutexLock oldLock(*oldMutex, timeoutMs);
  if (!oldLock.Acquired()) {
    return Result(StorageMove::Failed, oldPath + " is in use by a running program of an older install; end it and start again.");
  }
  struct stat st {};
  if (stat(oldPath.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
    return Result(StorageMove::NotMoved, oldPath + " is not a regular file and holds no dates; it is left in place.");
  }

  std::string why;
  const std::string oldId = oldPath + ".id";
  const std::string newId = newPath + ".id";
  struct stat idStat {};
  if (stat(oldId.c_str(), &idStat) == 0 && S_ISREG(idStat.st_mode) && !Exists(newId) &&
      !CopyVerified(oldId, newId, why)) {
    return Result(StorageMove::Failed, oldId + " cannot be moved to " + dataFolder + ": " + why + ".");
  }
  if (!CopyVerified(oldPath, newPath, why)) {
    return Result(StorageMove::Failed, oldPath + " cannot be moved to " + dataFolder + ": " + why + ".");
  }
  if (unlink(oldPath.c_str()) != 0) {
    const std::string error = std::strerror(errno);
    return Result(StorageMove::MovedOldKept, "The dates were copied to " + newPath + "; " + oldPath +
                                                 " cannot be removed (" + error + ") and is no longer used.");
  }
  unlink(oldId.c_str());
  platform::SyncFolder(platform::FolderOf(oldPath));
  return Result(StorageMove::Moved);
}

std::string PrepareDataFolder(const std::string& programFolder, std::string& message) {
  message.clear();
  const std::string folder = platform::GetDataFolder(&message);
  if (folder.empty()) return {};
  const StorageMoveResult moved = MoveOldStorage(programFolder, folder, STORAGE_MUTEX_TIMEOUT);
  message = moved.message;
  return moved.outcome == StorageMove::Failed ? std::string() : folder;
}

void ReportDataFolderMessage(const std::string& message) {
  if (message.empty()) return;
  std::fprintf(stderr, "%s\n", message.c_str());
  WriteLog("%s", message.c_str());
}
