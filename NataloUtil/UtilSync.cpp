#include "NataloUtil/UtilSync.h"

#include <fcntl.h>

#include <chrono>
#include <memory>

#include "common/log/Log.h"
#include "common/entries/FeskList.h"
#include "common/store/StorageMutexName.h"
#include "platform/file/FileIo.h"
#include "platform/file/UniqueFd.h"
#include "platform/sync/NamedEvent.h"
#include "platform/sync/NamedMutex.h"
#include "platform/text/Utf.h"

namespace {

// How often the wait for the reply looks whether the application still runs.
constexpr std::uint32_t kReplyProbeMs = 100;

bool WriteSyncFile(const std::string& path, std::int32_t uid) {
  platform::UniqueFd fd(open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
  if (!fd.IsOpen()) return false;
  const auto value = static_cast<std::uint32_t>(uid);
  const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
                                 static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
  return platform::WriteAll(fd.Get(), bytes, sizeof bytes);
}

// Waits for the application's reply. Our own handle of the changed-event
// would keep that event alive, so it is closed after setting it: while the
// application runs its handle keeps the event (and the signal) in existence,
// and once it is gone the event can no longer be opened.
void WaitForReply(platform::NamedEvent& reply, std::uint32_t timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      WriteLog("WriteUtilData: no reply from the application");
      return;
    }
    const auto slice = static_cast<std::uint32_t>(std::min<long long>(left.count(), kReplyProbeMs));
    const platform::WaitResult result = reply.Wait(slice);
    if (result == platform::WaitResult::Acquired) return;
    if (result == platform::WaitResult::Failed) return;
    if (!platform::NamedEvent::Open(kStorageChangedEvent)) {
      WriteLog("WriteUtilData: the application went away");
      return;
    }
  }
}

}  // namespace

bool WriteUtilData(const StorageItem& item, const std::string& programFolder, const UtilSyncTimeouts& timeouts) {
  const std::string storagePath = programFolder + "storage.dat";
  const auto mutex = platform::NamedMutex::Create(StorageMutexName(platform::FromUtf8(storagePath)));
  if (!mutex) return false;
  const platform::NamedMutexLock lock(*mutex, timeouts.mutexMs);
  if (!lock.Acquired()) {
    WriteLog("WriteUtilData: storage mutex not obtained");
    return false;
  }
  // The file is read and patched under this one hold: another load under the
  // storage mutex would wait for the hold we have.
  FeskList patcher(storagePath);
  if (!patcher.WriteItemState(item)) {
    WriteLog("WriteUtilData: state of %d not written", item.m_nUID);
    return false;
  }
  auto changed = platform::NamedEvent::Open(kStorageChangedEvent);
  if (!changed) return true;  // the application does not run
  auto reply = platform::NamedEvent::Create(kNotifyContinueEvent);
  if (!reply) return true;
  if (!WriteSyncFile(programFolder + kSyncFileName, item.m_nUID)) return false;
  changed->Set();
  changed.reset();
  WaitForReply(*reply, timeouts.replyMs);
  return true;
}
