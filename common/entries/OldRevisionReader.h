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

// Appends one entry per record up to a kind of 0, the end of the data, or a
// length too small for the block's fixed fields; true then. False when a
// string block is cut short or holds a string without its end; the entries
// read before it stay in the list.
bool ReadRevision1Records(BinaryReader& reader, FeskList& list, const EntryReminderDefaults& defaults);
bool ReadRevision2Records(BinaryReader& reader, FeskList& list, const EntryReminderDefaults& defaults);
