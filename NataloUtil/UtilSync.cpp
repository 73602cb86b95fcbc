#include "NataloUtil/UtilSync.h"

#include "common/log/Log.h"
#include "common/entries/FeskList.h"
#include "common/store/StorageMutexName.h"
#include "common/store/StorageSync.h"
#include "platform/sync/NamedMutex.h"
#include "platform/text/Utf.h"

bool WriteUtilData(const StorageItem& item, const std::string& dataFolder, const UtilSyncTimeouts& timeouts) {
  const std::string storagePath = dataFolder + "storage.dat";
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
  switch (NotifyApplication(dataFolder, {item.m_nUID, StorageChange::ReminderState}, timeouts.replyMs)) {
    case NotifyResult::NoApplication:
    case NotifyResult::Answered: return true;
    case NotifyResult::NoAnswer: WriteLog("WriteUtilData: no reply from the application"); return true;
    case NotifyResult::Failed: return false;
  }
  return false;
}
