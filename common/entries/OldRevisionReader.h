#pragma once
// Readers of the records of the two older revisions of storage.dat. Both
// records start with the base part of a non-monthly item (u32 kind, u64 start,
// u8 weekdays, u8 enabled, i32 UID, u16 skip, u64 snooze, u32 and u32 snooze
// counters), then an extension block:
//
//   revision 1: u16 length, u16 kind, u64 date, strings (Birthday: first name,
//               last name, note; others: name, note)
//   revision 2: u16 length, u16 kind, u32 contact id, u64 date, u32 picture (not
//               kept), u32 own sound, u32 sound type, u32 sound source,
//               u32 volume, strings as revision 1 plus the sound file
//
// Each entry read gets the default picture of its kind (revision 2 only; 0 in
// revision 1), loses its own sound choice (revision 2), is appended to the list
// and has its reminder placed by the program's defaults.
#include "common/entries/EntrySettings.h"
#include "common/store/BinaryReader.h"

class FeskList;

// Appends one entry per record up to a kind of 0 or the end of the data.
// Every record is found by its own length: a block too short for its fixed
// fields is skipped, strings missing from it read as empty, and reading goes
// on with the next record; a record cut off by the end of the data ends the
// reading. Returns the number of such damaged records.
int ReadRevision1Records(BinaryReader& reader, FeskList& list, const EntryReminderDefaults& defaults);
int ReadRevision2Records(BinaryReader& reader, FeskList& list, const EntryReminderDefaults& defaults);
