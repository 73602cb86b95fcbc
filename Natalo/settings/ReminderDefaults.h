#pragma once
// Places the default reminder on every entry that has none of its own.
#include <cstddef>

#include "common/entries/EntrySettings.h"

class FeskList;

// Stars and entries with their own reminder are left alone. Returns how many
// entries were placed.
std::size_t ApplyDefaultReminderToAll(FeskList& list, const EntryReminderDefaults& defaults = CurrentReminderDefaults());
