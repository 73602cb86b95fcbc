// Load and save of storage.dat under the system-wide storage mutex.
#include "common/store/StorageList.h"
#include "common/store/StorageMutexName.h"
#include "platform/sync/NamedMutex.h"
#include "platform/text/Utf.h"

bool StorageList::WithStorageMutex(std::uint32_t timeoutMs, const std::function<bool()>& operation) const {
  const auto mutex = platform::NamedMutex::Create(StorageMutexName(platform::FromUtf8(m_szPath)));
  if (!mutex) return false;
  const platform::NamedMutexLock lock(*mutex, timeoutMs);
  if (!lock.Acquired()) return false;
  return operation();
}

bool StorageList::LoadStorageLocked(std::uint32_t timeoutMs) {
  bool ran = false;
  const bool loaded = WithStorageMutex(timeoutMs, [this, &ran] {
    ran = true;
    return Load();
  });
  if (!ran) m_eRefusal = StorageRefusal::Locked;
  return loaded;
}

bool StorageList::SaveStorageLocked(std::uint32_t timeoutMs) const {
  return WithStorageMutex(timeoutMs, [this] { return Save(); });
}
