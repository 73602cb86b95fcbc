// Load and save of storage.dat under the system-wide storage mutex.
#include "common/store/StorageList.h"
#include "common/store/StorageMutexName.h"
#include "platform/sync/NamedMutex.h"
#include "platform/text/Utf.h"

namespace {

// Runs `operation` while holding the storage mutex of `path`; false when the
// mutex could not be created or was not acquired within the wait.
template <typename Operation>
bool WithStorageMutex(const std::string& path, std::uint32_t timeoutMs, Operation operation) {
  const auto mutex = platform::NamedMutex::Create(StorageMutexName(platform::FromUtf8(path)));
  if (!mutex) return false;
  const platform::NamedMutexLock lock(*mutex, timeoutMs);
  if (!lock.Acquired()) return false;
  return operation();
}

}  // namespace

bool StorageList::LoadStorageLocked(std::uint32_t timeoutMs) {
  return WithStorageMutex(m_szPath, timeoutMs, [this] { return Load(); });
}

bool StorageList::SaveStorageLocked(std::uint32_t timeoutMs) const {
  return WithStorageMutex(m_szPath, timeoutMs, [this] { return Save(); });
}
