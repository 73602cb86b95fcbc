#include "TickwellLib/EngineStorageLoad.h"

#include "TickwellLib/ByteSource.h"
#include "TickwellLib/EngineStorageReader.h"
#include "common/store/StorageMutexName.h"
#include "platform/sync/NamedMutex.h"
#include "platform/text/Utf.h"

bool LoadEngineStorageLocked(const std::string& path, std::vector<EngineRecord>& out, std::uint32_t timeoutMs) {
  out.clear();
  if (path.empty()) return false;
  const auto mutex = platform::NamedMutex::Create(StorageMutexName(platform::FromUtf8(path)));
  if (!mutex) return false;
  platform::NamedMutexLock lock(*mutex, timeoutMs);
  if (!lock.Acquired()) return false;
  FileByteSource source(path);
  return source.IsOpen() && ReadEngineStorage(source, out);
}
