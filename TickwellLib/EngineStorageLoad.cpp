#include "TickwellLib/EngineStorageLoad.h"

#include "TickwellLib/ByteSource.h"
#include "TickwellLib/EngineStorageReader.h"
#include "TickwellLib/InterruptibleWait.h"
#include "common/store/StorageMutexName.h"
#include "platform/sync/NamedMutex.h"
#include "platform/text/Utf.h"

StorageLoad LoadEngineStorageLocked(const std::string& path, std::vector<EngineRecord>& out, std::uint32_t timeoutMs,
                                    const std::atomic<bool>* stop) {
  out.clear();
  if (path.empty()) return StorageLoad::Missing;
  const auto mutex = platform::NamedMutex::Create(StorageMutexName(platform::FromUtf8(path)));
  if (!mutex) return StorageLoad::Locked;
  if (WaitUnlessStopped(*mutex, timeoutMs, stop) != platform::WaitResult::Acquired) return StorageLoad::Locked;
  StorageLoad result = StorageLoad::Loaded;
  {
    FileByteSource source(path);
    if (source.GetStatus() == FileByteSource::Status::Missing) {
      result = StorageLoad::Missing;
    } else if (!source.IsOpen()) {
      result = StorageLoad::Unreadable;
    } else if (!ReadEngineStorage(source, out)) {
      result = source.GetStatus() == FileByteSource::Status::ReadError ? StorageLoad::Unreadable : StorageLoad::Rejected;
    } else if (source.GetStatus() == FileByteSource::Status::ReadError) {
      result = StorageLoad::Unreadable;
    }
  }
  mutex->Release();
  if (result != StorageLoad::Loaded) out.clear();
  return result;
}
