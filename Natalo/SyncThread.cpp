#include "Natalo/SyncThread.h"

#include <fcntl.h>

#include <QMetaObject>

#include <mutex>
#include <thread>

#include "Natalo/MainWindow.h"
#include "common/entries/FeskList.h"
#include "platform/file/FileIo.h"
#include "platform/file/UniqueFd.h"
#include "platform/sync/NamedEvent.h"

namespace {

constexpr char16_t kStorageChanged[] = u"FESK_STORAGE_CHANGED";
constexpr char16_t kNotifyContinue[] = u"FESK_NOTIFY_CONTINUE";
constexpr char16_t kNotifyExit[] = u"FESK_NOTIFY_EXIT";

// What the thread shares with the user-interface thread; the window is
// forgotten under the lock when the thread stops.
struct SyncShared {
  std::mutex lock;
  QPointer<MainWindow> window;
  FeskList* list = nullptr;
};

struct SyncThreadState {
  std::shared_ptr<SyncShared> shared;
  std::unique_ptr<platform::NamedEvent> changed;
  std::unique_ptr<platform::NamedEvent> exit;
  std::thread thread;
};

std::unique_ptr<SyncThreadState> g_sync;

bool ReadSyncUid(const std::string& path, std::int32_t& uid) {
  platform::UniqueFd fd(open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.IsOpen()) return false;
  std::string data;
  if (!platform::ReadAll(fd.Get(), data, 8) || data.size() < 4) return false;
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(data.data());
  uid = static_cast<std::int32_t>(static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
                                  static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24);
  return true;
}

void PostToWindow(const std::shared_ptr<SyncShared>& shared, const ReminderStateBlock& state) {
  const std::lock_guard<std::mutex> hold(shared->lock);
  if (!shared->window) return;
  // WM_APP_REMINDERSTATE: the list belongs to the user-interface thread.
  QMetaObject::invokeMethod(shared->window.data(), [shared, state] {
    const std::lock_guard<std::mutex> inner(shared->lock);
    if (!shared->window || !shared->list) return;
    if (ApplyReminderState(*shared->list, state)) shared->window->OnReminderStateChanged();
  }, Qt::QueuedConnection);
}

void SyncThread(std::shared_ptr<SyncShared> shared, platform::NamedEvent* changed, platform::NamedEvent* exit,
                std::string folder) {
  for (;;) {
    const int which = platform::NamedEvent::WaitAny(*changed, *exit, platform::INFINITE_WAIT);
    if (which == 1) break;
    if (which != 0) {
      std::this_thread::yield();
      continue;
    }
    std::int32_t uid = 0;
    ReminderStateBlock state;
    if (ReadSyncUid(folder + "sync.tmp", uid) && ReadReminderState(folder + "storage.dat", uid, state)) {
      PostToWindow(shared, state);
    }
    // Answer in every case, so that the utility does not wait.
    if (auto reply = platform::NamedEvent::Open(kNotifyContinue)) reply->Set();
  }
}

}  // namespace

bool ReadReminderState(const std::string& storagePath, std::int32_t uid, ReminderStateBlock& out) {
  FeskList fresh(storagePath);
  if (!fresh.Load()) return false;
  const StorageItem* item = fresh.FindByUID(uid);
  if (!item) return false;
  out.uid = uid;
  out.wSkipNext = item->m_wSkipNext;
  out.ftSnooze = item->m_ftSnooze;
  out.dwAutoSnoozeCounter = item->m_dwAutoSnoozeCounter;
  out.dwSnoozeCounter = item->m_dwSnoozeCounter;
  return true;
}

bool ApplyReminderState(FeskList& list, const ReminderStateBlock& state) {
  StorageItem* item = list.FindByUID(state.uid);
  if (!item) return false;
  item->m_wSkipNext = state.wSkipNext;
  item->m_ftSnooze = state.ftSnooze;
  item->m_dwAutoSnoozeCounter = state.dwAutoSnoozeCounter;
  item->m_dwSnoozeCounter = state.dwSnoozeCounter;
  return true;
}

bool StartSyncThread(MainWindow* window, FeskList* list, const std::string& programFolder) {
  if (g_sync) return true;
  auto state = std::make_unique<SyncThreadState>();
  state->shared = std::make_shared<SyncShared>();
  state->shared->window = window;
  state->shared->list = list;
  state->changed = platform::NamedEvent::Create(kStorageChanged);
  state->exit = platform::NamedEvent::Create(kNotifyExit);
  if (!state->changed || !state->exit) return false;
  state->thread = std::thread(SyncThread, state->shared, state->changed.get(), state->exit.get(), programFolder);
  g_sync = std::move(state);
  return true;
}

void StopSyncThread() {
  if (!g_sync) return;
  {
    const std::lock_guard<std::mutex> hold(g_sync->shared->lock);
    g_sync->shared->window = nullptr;
    g_sync->shared->list = nullptr;
  }
  if (auto exit = platform::NamedEvent::Open(kNotifyExit)) exit->Set();
  if (g_sync->thread.joinable()) g_sync->thread.join();
  g_sync.reset();
}
