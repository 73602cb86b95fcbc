#include "Natalo/SyncThread.h"

#include <QApplication>
#include <QMetaObject>
#include <QTimer>

#include <algorithm>
#include <limits>
#include <mutex>
#include <thread>
#include <unordered_set>
#include <vector>

#include "Natalo/MainWindow.h"
#include "common/entries/EntryMatching.h"
#include "common/entries/FeskList.h"
#include "common/store/StorageSync.h"
#include "platform/sync/NamedEvent.h"

namespace {

// A change another program made, read on the thread and taken into the list
// on the user-interface thread.
struct PendingChange {
  StorageChange kind = StorageChange::ReminderState;
  ReminderStateBlock state;
  std::unique_ptr<FeskItem> added;  // set for an entry new in the file
  std::unique_ptr<FeskItem> edited;                 // EntryChanged: the entry as the file holds it
  std::int32_t removed = 0;                         // EntryRemoved: its UID
  std::vector<std::unique_ptr<FeskItem>> entries;  // ListChanged: every entry of the file
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

// How often a change that waits for a dialog looks again whether it is closed.
constexpr int kDialogProbeMs = 250;

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
  bool rows = false;  // entries came, went or changed
  for (PendingChange& change : pending) {
    switch (change.kind) {
      case StorageChange::EntryAdded:
        // Seen now: a later save does not take it in a second time.
        list->m_known.Set(change.added->m_nUID, KnownRecordState::Of(*change.added));
        AddSyncedEntry(*list, std::move(change.added));
        rows = true;
        break;
      case StorageChange::EntryChanged:
        changed = TakeEditedEntry(*list, std::move(change.edited)) || changed;
        rows = true;
        break;
      case StorageChange::EntryRemoved:
        rows = DropRemovedEntry(*list, change.removed) || rows;
        break;
      case StorageChange::ListChanged:
        TakeStoredList(*list, std::move(change.entries));
        rows = true;
        break;
      case StorageChange::ReminderState:
        changed = ApplyReminderState(*list, change.state) || changed;
        break;
    }
  }
  if (changed || rows) window->OnReminderStateChanged();
  if (rows) window->UpdateMenuState();
}

// Whether a change rewrites or frees entries of the list, which an open
// dialog may be showing (an editor, the reminder or sound dialog of one entry).
bool ChangesEntries(const std::vector<PendingChange>& pending) {
  return std::any_of(pending.begin(), pending.end(), [](const PendingChange& change) {
    return change.kind == StorageChange::EntryChanged || change.kind == StorageChange::EntryRemoved ||
           change.kind == StorageChange::ListChanged;
  });
}

// Takes the queued changes in from the event loop. While a dialog is open,
// one that rewrites or frees entries waits until it closes, or until the next
// save takes it in (the dialogs that hold an entry are closed by then).
void ApplyPendingWhenFree(const std::shared_ptr<SyncShared>& shared) {
  bool waits = false;
  {
    const std::lock_guard<std::mutex> hold(shared->lock);
    waits = QApplication::activeModalWidget() != nullptr && ChangesEntries(shared->pending);
  }
  if (!waits) {
    ApplyPending(*shared);
    return;
  }
  QPointer<MainWindow> window;
  {
    const std::lock_guard<std::mutex> hold(shared->lock);
    window = shared->window;
  }
  if (window) QTimer::singleShot(kDialogProbeMs, window.data(), [shared] { ApplyPendingWhenFree(shared); });
}

// Reads the change the notice names from the file, or false when there is
// nothing to take over.
bool ReadChange(const std::string& folder, const StorageNotice& notice, PendingChange& change) {
  const std::string storage = folder + "storage.dat";
  change.kind = notice.change;
  switch (notice.change) {
    case StorageChange::EntryAdded:
      change.added = ReadStoredEntry(storage, notice.uid);
      return change.added != nullptr;
    case StorageChange::EntryChanged:
      change.edited = ReadStoredEntry(storage, notice.uid);
      return change.edited != nullptr;
    case StorageChange::EntryRemoved: {
      // Only when the file no longer holds it: a writer that put the file
      // back after a notice went unanswered leaves the entry in place.
      std::vector<std::unique_ptr<FeskItem>> entries;
      change.removed = notice.uid;
      return ReadStoredEntries(storage, entries) &&
             std::none_of(entries.begin(), entries.end(), [&notice](const auto& e) { return e->m_nUID == notice.uid; });
    }
    case StorageChange::ListChanged:
      return ReadStoredEntries(storage, change.entries);
    case StorageChange::ReminderState:
      break;
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
        QMetaObject::invokeMethod(shared->window.data(), [shared] { ApplyPendingWhenFree(shared); },
                                  Qt::QueuedConnection);
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

bool ReadStoredEntries(const std::string& storagePath, std::vector<std::unique_ptr<FeskItem>>& out) {
  out.clear();
  FeskList::ScanResult scan;
  const bool read = FeskList(storagePath).ScanStorageFile([&out](std::unique_ptr<StorageItem>& item) {
    if (AsEntry(item.get()) != nullptr) out.emplace_back(AsEntry(item.release()));
  }, &scan);
  // A missing or empty file holds no entry; a file read in part gives nothing.
  return (read && scan.damaged == 0) || scan.refusal == StorageRefusal::Missing || scan.refusal == StorageRefusal::Empty;
}

bool TakeEditedEntry(FeskList& list, std::unique_ptr<FeskItem> stored) {
  const std::int32_t uid = stored->m_nUID;
  FeskItem* own = AsEntry(list.FindByUID(uid));
  if (!list.m_known.Contains(uid)) {
    // Never read from the file: new to the list (an entry of the user's own
    // under the same UID keeps it, and this one gets another).
    list.m_known.Set(uid, KnownRecordState::Of(*stored));
    AddSyncedEntry(list, std::move(stored));
    return true;
  }
  // Deleted here, which the next save writes.
  if (own == nullptr || own->IsStar()) return false;
  // Copied into the list's own entry, which views and dialogs may hold.
  CopyEntry(*stored, *own);
  list.m_known.Set(uid, KnownRecordState::Of(*own));
  return true;
}

bool DropRemovedEntry(FeskList& list, std::int32_t uid) {
  // An entry the list never read from the file is the user's own, unsaved one under the same UID.
  if (!list.m_known.Forget(uid)) return false;
  StorageItem* own = list.FindByUID(uid);
  return own != nullptr && !AsEntry(own)->IsStar() && list.Remove(own);
}

void TakeStoredList(FeskList& list, std::vector<std::unique_ptr<FeskItem>> stored) {
  std::unordered_set<std::int32_t> inFile;
  for (const auto& entry : stored) inFile.insert(entry->m_nUID);
  // Entries the list read from the file and the file no longer holds were deleted there.
  std::vector<StorageItem*> gone;
  for (StorageItem& item : list) {
    if (item.m_nUID > 0 && inFile.count(item.m_nUID) == 0 && list.m_known.Contains(item.m_nUID)) gone.push_back(&item);
  }
  for (StorageItem* item : gone) {
    list.m_known.Forget(item->m_nUID);
    list.Remove(item);
  }
  for (auto& entry : stored) TakeEditedEntry(list, std::move(entry));
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
