#pragma once
// Places an entry's yearly reminder: m_ftStart becomes the entry's month and
// day, moved back by the reminder offset, at the reminder time. The year of the
// result is 2001 (or 2000 when the offset reaches back across New Year); the
// engine uses only its month, day and time. The entry is not saved here.
#include <cstdint>

#include "common/entries/EntrySettings.h"

class FeskItem;

// `code` is a ReminderOffset (an unknown code reminds on the day); `time` holds
// the hour in its high byte and the minute in its low byte.
void ApplyReminder(FeskItem& entry, std::uint32_t code, std::uint16_t time);
// ApplyReminder with the program's default offset and time.
void ApplyDefaultReminder(FeskItem& entry, const EntryReminderDefaults& defaults = CurrentReminderDefaults());
