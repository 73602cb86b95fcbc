#pragma once
// The calendar event of an entry: a yearly all-day event with the entry's
// reminder as its alarm, named by a UID that stays the same across exports.
#include <string>

#include "common/calendar/IcsCalendar.h"
#include "common/entries/FeskItem.h"

// Own entries keep their UID for good; stars have none of their own, so their
// name and date stand for them. The storage's identifier (StorageId.h) sets
// the events of one storage apart from those of every other, which number
// their entries from 1 as well.
std::string EventUid(const FeskItem& entry, const std::string& storageId);

// Fills `event` anew from the entry, its texts reusing the room they have.
// `yearFormat` names a birthday or anniversary with the year the age counts
// from ("%s (%s)"). A date without a year starts in `today`'s year and its
// title has no year.
void FillEvent(const FeskItem& entry, const std::string& storageId, const std::u16string& yearFormat,
               const CalendarDate& today, IcsEvent& event);
