#pragma once
// The one way the command line changes storage.dat: load, change, save and
// tell a running application, all under one hold of the storage mutex, so
// that no other program's save falls between them. Every verb that writes
// (add, edit, delete, import) goes through here.
#include <functional>

#include "common/entries/FeskList.h"
#include "common/store/StorageSync.h"

// Alters the freshly loaded list and names the change for the application's
// notice. Returns kExitDone to save, any other exit code to leave the file
// untouched (its message already written).
using StoredListEdit = std::function<int(FeskList& list, StorageNotice& notice)>;

// Runs `edit` on storage.dat as it is on disk now (a file of an older
// revision is upgraded, the file as it was kept beside it). When a running
// application cannot be told, or does not answer the notice of anything but
// an added entry, the file is put back as it was, since the application would
// otherwise save its own list over the change. After the
// save the engine recalculates the reminders. `afterSave` runs once the file
// is saved and the application told (for the verb's confirmation).
int ChangeStoredList(const StoredListEdit& edit, const std::function<void(const FeskList&)>& afterSave = {});
