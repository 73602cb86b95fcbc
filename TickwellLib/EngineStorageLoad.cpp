#include "TickwellLib/EngineStorageLoad.h"

#include "TickwellLib/InterruptibleWait.h"
#include "common/store/StorageMutexName.h"
#include "platform/sync/NamedMutex.h"
#include "platform/text/Utf.h"

std::unique_ptr<platform::NamedMutex> OpenStorageMutex(const std::string& path) {
  return platform::NamedMutex::Create(StorageMutexName(platform::FromUtf8(path)));
}

StorageLoad ReadStorageLocked(const std::string& path, const std::function<bool(const ByteSource&)>& read,
                              std::uint32_t timeoutMs, const std::atomic<bool>* stop, platform::NamedMutex* kept) {
  if (path.empty()) return StorageLoad::Missing;
  std::unique_ptr<platform::NamedMutex> opened;
  if (kept == nullptr) opened = OpenStorageMutex(path);
  platform::NamedMutex* mutex = kept != nullptr ? kept : opened.get();
  if (mutex == nullptr) return StorageLoad::Locked;
  if (WaitUnlessStopped(*mutex, timeoutMs, stop) != platform::WaitResult::Acquired) return StorageLoad::Locked;
  StorageLoad result = StorageLoad::Loaded;
  {
    FileByteSource source(path);
    if (source.GetStatus() == FileByteSource::Status::Missing) {
      result = StorageLoad::Missing;
    } else if (!source.IsOpen()) {
      result = StorageLoad::Unreadable;
    } else {
      const bool accepted = read(source);
      if (source.Failed()) {
        result = StorageLoad::Unreadable;
      } else if (!accepted) {
        result = StorageLoad::Rejected;
      }
    }
  }
  mutex->Release();
  return result;
}
