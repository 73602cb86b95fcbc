#include "Natalo/settings/ReminderDefaults.h"

#include "common/entries/EntryReminder.h"
#include "common/entries/FeskItem.h"
#include "common/entries/FeskList.h"

std::size_t ApplyDefaultReminderToAll(FeskList& list, const EntryReminderDefaults& defaults) {
  std::size_t placed = 0;
  for (StorageItem& item : list) {
    FeskItem* entry = AsEntry(&item);
    if (entry == nullptr || entry->IsStar() || entry->m_bOwnReminder != 0) continue;
    ApplyDefaultReminder(*entry, defaults);
    ++placed;
  }
  return placed;
}
