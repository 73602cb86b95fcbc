#include "Natalo/SyncThread.h"

#include <QMetaObject>

#include <algorithm>
#include <limits>
#include <mutex>
#include <thread>
#include <vector>

#include "Natalo/MainWindow.h"
#include "common/entries/FeskList.h"
#include "common/store/StorageSync.h"
#include "platform/sync/NamedEvent.h"

namespace {

// A change another program made, read on the thread and taken into the list
// on the user-interface thread.
struct PendingChange {
  ReminderStateBlock state;
  std::unique_ptr<FeskItem> added;  // set for an entry new in the file
};

// What the thread shares with the user-interface thread; the window is
// forgotten under the lock when the thread stops.
struct SyncShared {
  std::mutex lock;
  QPointer<MainWindow> window;
  FeskList* list = nullptr;
  std::vector<PendingChange> pending;
};

struct SyncThreadState {
  std::shared_ptr<SyncShared> shared;
  std::unique_ptr<platform::NamedEvent> changed;
  std::unique_ptr<platform::NamedEvent> exit;
  std::thread thread;
};

std::unique_ptr<SyncThreadState> g_sync;

// Takes the pending changes into the list and shows them; on the
// user-interface thread.
void ApplyPending(SyncShared& shared) {
  std::vector<PendingChange> pending;
  MainWindow* window = nullptr;
  FeskList* list = nullptr;
  {
    const std::lock_guard<std::mutex> hold(shared.lock);
    pending.swap(shared.pending);
    window = shared.window.data();
    list = shared.list;
  }
  if (pending.empty() || window == nullptr || list == nullptr) return;
  bool changed = false;
  bool added = false;
  for (PendingChange& change : pending) {
    if (change.added) {
      // Seen now: a later save does not take it in a second time.
      list->m_known.emplace(change.added->m_nUID, KnownRecordState::Of(*change.added));
      AddSyncedEntry(*list, std::move(change.added));
      added = true;
    } else {
      changed = ApplyReminderState(*list, change.state) || changed;
    }
  }
  if (changed || added) window->OnReminderStateChanged();
  if (added) window->UpdateMenuState();
}

// Reads the change the notice names from the file, or false when there is
// nothing to take over.
bool ReadChange(const std::string& folder, const StorageNotice& notice, PendingChange& change) {
  const std::string storage = folder + "storage.dat";
  if (notice.change == StorageChange::EntryAdded) {
    change.added = ReadStoredEntry(storage, notice.uid);
    return change.added != nullptr;
  }
  return ReadReminderState(storage, notice.uid, change.state);
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
    StorageNotice notice;
    PendingChange change;
    if (ReadStorageNotice(folder + kSyncFileName, notice) && ReadChange(folder, notice, change)) {
      // The change is queued before the answer, and the writer holds the
      // storage mutex until it has the answer: a save of the list, which
      // first takes the mutex and then the queue, never misses it.
      const std::lock_guard<std::mutex> hold(shared->lock);
      shared->pending.push_back(std::move(change));
      if (shared->window) {
        QMetaObject::invokeMethod(shared->window.data(), [shared] { ApplyPending(*shared); }, Qt::QueuedConnection);
      }
    }
    // Answer in every case, so that the writer does not wait.
    if (auto reply = platform::NamedEvent::Open(kNotifyContinueEvent)) reply->Set();
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

std::unique_ptr<FeskItem> ReadStoredEntry(const std::string& storagePath, std::int32_t uid) {
  std::unique_ptr<FeskItem> found;
  FeskList(storagePath).ScanFile([&](std::unique_ptr<StorageItem>& item) {
    if (!found && item->m_nUID == uid && AsEntry(item.get()) != nullptr) found.reset(AsEntry(item.release()));
  });
  return found;
}

void AddSyncedEntry(FeskList& list, std::unique_ptr<FeskItem> entry) {
  // An entry of the user's own, made here but not yet saved, may have taken
  // the same UID; the new one then gets the next free one, which the list's
  // save writes.
  if (list.FindByUID(entry->m_nUID) != nullptr) {
    std::int32_t highest = 0;
    for (const StorageItem& item : list) highest = std::max(highest, item.m_nUID);
    entry->m_nUID = highest < std::numeric_limits<std::int32_t>::max() ? highest + 1 : 0;
  }
  list.AppendLoaded(std::move(entry));
}

void ApplyPendingSyncChanges() {
  if (g_sync) ApplyPending(*g_sync->shared);
}

void ShowTakenInChanges() {
  if (!g_sync) return;
  const std::lock_guard<std::mutex> hold(g_sync->shared->lock);
  if (MainWindow* window = g_sync->shared->window.data()) {
    QMetaObject::invokeMethod(window, [window] {
      window->OnReminderStateChanged();
      window->UpdateMenuState();
    }, Qt::QueuedConnection);
  }
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

bool StartSyncThread(MainWindow* window, FeskList* list, const std::string& dataFolder) {
  if (g_sync) return true;
  auto state = std::make_unique<SyncThreadState>();
  state->shared = std::make_shared<SyncShared>();
  state->shared->window = window;
  state->shared->list = list;
  state->changed = platform::NamedEvent::Create(kStorageChangedEvent);
  state->exit = platform::NamedEvent::Create(kNotifyExitEvent);
  if (!state->changed || !state->exit) return false;
  state->thread = std::thread(SyncThread, state->shared, state->changed.get(), state->exit.get(), dataFolder);
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
  if (auto exit = platform::NamedEvent::Open(kNotifyExitEvent)) exit->Set();
  if (g_sync->thread.joinable()) g_sync->thread.join();
  g_sync.reset();
}
